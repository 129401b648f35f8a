#include "launch/wad_fetch.h"

#include <curl/curl.h>
#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <memory>
#include <optional>

#include "launch/file_replace.h"
#include "launch/settings.h"
#include "launch/wad_file_check.h"
#include "launch/wad_index.h"

namespace {

using Clock = std::chrono::steady_clock;

struct CurlDeleter {
    void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
struct FileDeleter {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
struct ZipDeleter {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct ZipFileDeleter {
    void operator()(zip_file_t* file) const { zip_fclose(file); }
};

// The file being written, removed again unless it was moved into place.
class PartFile {
  public:
    explicit PartFile(const std::filesystem::path& near) : m_path(createFileBeside(near)) {}
    ~PartFile() {
        if (!m_path.empty()) {
            std::error_code ignored;
            std::filesystem::remove(m_path, ignored);
        }
    }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    const std::filesystem::path& path() const { return m_path; }
    bool moveTo(const std::filesystem::path& target) {
        if (!moveUnlessPresent(m_path, target)) {
            return false;
        }
        m_path.clear();
        return true;
    }

  private:
    std::filesystem::path m_path;
};

struct Transfer {
    std::FILE* out;
    uint64_t limit;
    uint64_t written = 0;
    bool tooLarge = false;
    const std::stop_token* stop;
    WadFetchProgress report;
    const std::function<void(const WadFetchProgress&)>* progress;
    Clock::time_point start = Clock::now();
};

size_t writeBody(char* data, size_t size, size_t count, void* user) {
    auto& transfer = *static_cast<Transfer*>(user);
    const size_t bytes = size * count;
    if (transfer.written + bytes > transfer.limit) {
        transfer.tooLarge = true;
        return 0;
    }
    transfer.written += bytes;
    return std::fwrite(data, 1, bytes, transfer.out);
}

int onProgress(void* user, curl_off_t total, curl_off_t now, curl_off_t /*upTotal*/, curl_off_t /*upNow*/) {
    auto& transfer = *static_cast<Transfer*>(user);
    if (transfer.stop->stop_requested()) {
        return 1;
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - transfer.start).count();
    transfer.report.bytes = static_cast<uint64_t>(now);
    transfer.report.total = static_cast<uint64_t>(std::max<curl_off_t>(total, 0));
    transfer.report.bytesPerSecond = seconds > 0 ? static_cast<double>(now) / seconds : 0;
    (*transfer.progress)(transfer.report);
    return 0;
}

// curl_global_init is not safe beside other threads' use of curl; once, first.
void initialiseCurl() {
    static const bool initialised = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    (void)initialised;
}

// Downloads `url` into `file`; an empty text on success, else why not.
std::string download(const std::string& url, const std::filesystem::path& file, const WadFetchLimits& limits,
                     Transfer transfer) {
    initialiseCurl();
    const std::unique_ptr<std::FILE, FileDeleter> out(std::fopen(file.string().c_str(), "wb"));
    const std::unique_ptr<CURL, CurlDeleter> curl(curl_easy_init());
    if (out == nullptr || curl == nullptr) {
        return "it could not be written to " + file.parent_path().string();
    }
    transfer.out = out.get();
    char error[CURL_ERROR_SIZE] = "";
    CURL* c = curl.get();
    curl_easy_setopt(c, CURLOPT_URL, url.c_str());
    curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 1L);
    curl_easy_setopt(c, CURLOPT_MAXREDIRS, limits.maxRedirects);
    curl_easy_setopt(c, CURLOPT_FAILONERROR, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_USERAGENT, "Pellrig");
    curl_easy_setopt(c, CURLOPT_MAXFILESIZE_LARGE, static_cast<curl_off_t>(limits.maxBytes));
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(limits.connectTimeout.count()));
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_LIMIT, limits.stallBytesPerSecond);
    curl_easy_setopt(c, CURLOPT_LOW_SPEED_TIME,
                     std::max(1L, static_cast<long>(limits.stallTime.count() / 1000)));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, writeBody);
    curl_easy_setopt(c, CURLOPT_WRITEDATA, &transfer);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, &transfer);
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, error);
    const CURLcode result = curl_easy_perform(c);
    if (transfer.tooLarge || result == CURLE_FILESIZE_EXCEEDED) {
        return "it is larger than " + std::to_string(limits.maxBytes >> 20) + " MB";
    }
    if (result != CURLE_OK) {
        return error[0] != '\0' ? std::string(error) : std::string(curl_easy_strerror(result));
    }
    return std::fflush(out.get()) == 0 ? std::string() : "it could not be written";
}

bool sameNameIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
    });
}

// Copies the entry of `archive` whose file name (its folders left aside) is
// `name` into `file`, at most `limit` bytes whatever the archive claims.
std::string unpack(const std::filesystem::path& archive, const std::string& name,
                   const std::filesystem::path& file, uint64_t limit) {
    int error = 0;
    const std::unique_ptr<zip_t, ZipDeleter> zip(zip_open(archive.string().c_str(), ZIP_RDONLY, &error));
    if (zip == nullptr) {
        return "it is not a zip archive";
    }
    const zip_int64_t entries = zip_get_num_entries(zip.get(), 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char* entryName = zip_get_name(zip.get(), static_cast<zip_uint64_t>(i), 0);
        const std::string_view path = entryName != nullptr ? entryName : "";
        const size_t slash = path.find_last_of("/\\");
        if (!sameNameIgnoringCase(slash == std::string_view::npos ? path : path.substr(slash + 1), name)) {
            continue;
        }
        const std::unique_ptr<zip_file_t, ZipFileDeleter> in(
            zip_fopen_index(zip.get(), static_cast<zip_uint64_t>(i), 0));
        const std::unique_ptr<std::FILE, FileDeleter> out(std::fopen(file.string().c_str(), "wb"));
        if (in == nullptr || out == nullptr) {
            return "its " + name + " could not be unpacked";
        }
        std::vector<char> buffer(size_t{64} * 1024);
        uint64_t total = 0;
        for (;;) {
            const zip_int64_t read = zip_fread(in.get(), buffer.data(), buffer.size());
            if (read < 0) {
                return "its " + name + " could not be unpacked";
            }
            if (read == 0) {
                return std::fflush(out.get()) == 0 ? std::string() : "it could not be written";
            }
            total += static_cast<uint64_t>(read);
            if (total > limit) {
                return "its " + name + " is larger than " + std::to_string(limit >> 20) + " MB";
            }
            if (std::fwrite(buffer.data(), 1, static_cast<size_t>(read), out.get()) !=
                static_cast<size_t>(read)) {
                return "it could not be written";
            }
        }
    }
    return "it holds no " + name;
}

std::string checkFailure(WadFileCheck check) {
    switch (check) {
        case WadFileCheck::Pwad:
            return {};
        case WadFileCheck::Iwad:
            return "it is an IWAD, which is never fetched";
        case WadFileCheck::OutsideTheFile:
            return "it is a damaged WAD";
        case WadFileCheck::NotAWad:
        case WadFileCheck::Unreadable:
            break;
    }
    return "it is not a WAD";
}

// One address: the file itself or, when `zipped`, an archive holding it.
std::string fetchFrom(const std::string& url, bool zipped, const std::string& name,
                      const std::filesystem::path& target, const WadFetchLimits& limits,
                      const Transfer& transfer) {
    PartFile part(target);
    if (part.path().empty()) {
        return "no file could be made in " + target.parent_path().string();
    }
    std::optional<PartFile> archive;
    if (zipped) {
        archive.emplace(target);
        if (archive->path().empty()) {
            return "no file could be made in " + target.parent_path().string();
        }
    }
    std::string failure = download(url, zipped ? archive->path() : part.path(), limits, transfer);
    if (failure.empty() && zipped) {
        failure = unpack(archive->path(), name, part.path(), limits.maxBytes);
    }
    if (failure.empty()) {
        failure = checkFailure(checkWadFile(part.path()));
    }
    if (failure.empty() && !part.moveTo(target) && !std::filesystem::exists(target)) {
        failure = "it could not be put in " + target.parent_path().string();
    }
    return failure;
}

}  // namespace

std::optional<std::filesystem::path> wadFetchFolder() {
    const auto lock = lockSettings();
    if (wad_directories.empty()) {
        return std::nullopt;
    }
    return std::filesystem::path(wad_directories.front().path);
}

std::vector<std::string> pwadsToFetch(const LaunchTarget& server) {
    const WadIndex index = WadIndex::ofWadDirectories();
    if (!index.has(server.iwad)) {
        return {};
    }
    std::vector<std::string> missing;
    for (const std::string& pwad : server.pwads) {
        if (!index.has(pwad)) {
            missing.push_back(pwad);
        }
    }
    return missing;
}

std::string wadFetchFailureText(const WadFetchResult& result) {
    std::string text = "Could not fetch " + result.name + ":";
    for (const std::string& attempt : result.attempts) {
        text += "\n" + attempt;
    }
    return text;
}

std::string wadSiteAddress(const std::string& site, const std::string& name) {
    initialiseCurl();
    std::string escaped = name;
    if (char* text = curl_easy_escape(nullptr, name.c_str(), static_cast<int>(name.size()))) {
        escaped = text;
        curl_free(text);
    }
    std::string address = site;
    constexpr std::string_view kPlaceholder = "{name}";
    for (size_t at = address.find(kPlaceholder); at != std::string::npos;
         at = address.find(kPlaceholder, at + escaped.size())) {
        address.replace(at, kPlaceholder.size(), escaped);
    }
    return address;
}

WadFetchResult fetchWads(const std::vector<std::string>& names, const std::vector<std::string>& sites,
                         const std::filesystem::path& folder, const WadFetchLimits& limits,
                         const std::function<void(const WadFetchProgress&)>& progress,
                         const std::stop_token& stop) {
    for (size_t i = 0; i < names.size(); ++i) {
        const std::string& name = names[i];
        WadFetchResult failed{WadFetchResult::Status::Failed, name, {}};
        if (!isFetchableWadName(name)) {
            failed.attempts.push_back("it is not the name of a WAD file that may be fetched");
            return failed;
        }
        const std::filesystem::path target = folder / name;
        std::error_code error;
        if (std::filesystem::exists(target, error)) {
            continue;
        }
        Transfer transfer{nullptr, limits.maxBytes, 0, false, &stop, {}, &progress};
        transfer.report = {static_cast<int>(i) + 1, static_cast<int>(names.size()), name, 0, 0, 0};
        const std::string zipName = name.substr(0, name.size() - 4) + ".zip";
        bool fetched = false;
        for (const std::string& site : sites) {
            for (const bool zipped : {false, true}) {
                const std::string url = wadSiteAddress(site, zipped ? zipName : name);
                const std::string failure = fetchFrom(url, zipped, name, target, limits, transfer);
                if (stop.stop_requested()) {
                    return {WadFetchResult::Status::Cancelled, name, {}};
                }
                if (failure.empty()) {
                    fetched = true;
                    break;
                }
                failed.attempts.push_back(url);
                failed.attempts.back().append(": ").append(failure);
            }
            if (fetched) {
                break;
            }
        }
        if (!fetched) {
            return failed;
        }
    }
    return {};
}
