#include "launch/file_finder.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool within(int64_t value, int64_t low, int64_t high) {
    return value >= low && value <= high;
}

bool isDotOrDotDot(const std::string& name) {
    return name == "." || name == "..";
}

bool globMatch(std::string_view name, std::string_view mask) {
    size_t n = 0;
    size_t m = 0;
    size_t starMask = std::string_view::npos;
    size_t starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == '*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && (mask[m] == '?' || upperAscii(mask[m]) == upperAscii(name[n]))) {
            ++n;
            ++m;
        } else if (starMask != std::string_view::npos) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == '*') {
        ++m;
    }
    return m == mask.size();
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

FindOptions::FindOptions() {
    reset();
}

void FindOptions::reset() {
    const int64_t now = static_cast<int64_t>(std::time(nullptr));
    baseFolder.clear();
    fileMask = "*.*";
    findText.clear();
    subfolders = 0;
    optionFlags = 0;
    minSize = maxSize = 0;
    fileAttributes = 0;
    oneFileSystem = false;
    minCreated = maxCreated = minModified = maxModified = minAccessed = maxAccessed = now;
}

std::string AddBackslash(std::string path, bool useForwardSlash) {
    if (!path.empty() && path.back() != '\\' && path.back() != '/') {
        path.push_back(useForwardSlash ? '/' : '\\');
    }
    return path;
}

bool matchesMask(std::string_view name, std::string_view mask) {
    // As on Windows, "*.*" also matches a name without any dot.
    if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos && globMatch(name, mask.substr(0, mask.size() - 2))) {
        return true;
    }
    return globMatch(name, mask);
}

void FileFinder::SetCallback(Callback callback, void* parameter) {
    m_callback = std::move(callback);
    m_parameter = parameter;
}

void FileFinder::StopSearch() {
    m_stopRequested.store(true, std::memory_order_relaxed);
}

int32_t FileFinder::GetFileCount() const {
    return static_cast<int32_t>(m_results.size());
}

std::string FileFinder::GetFilePath(int32_t index) const {
    if (index < 0 || index >= GetFileCount()) {
        return {};
    }
    return m_results[static_cast<size_t>(index)];
}

void FileFinder::RemoveAll() {
    m_results.clear();
}

void FileFinder::report(FinderCode code) {
    if (m_callback) {
        m_callback(*this, code, m_parameter);
    }
}

int32_t FileFinder::Find(const FindOptions& options) {
    m_stopRequested.store(false, std::memory_order_relaxed);
    // One path buffer serves the whole walk: each level appends its folder's name
    // and cuts it off again, so memory grows with the depth only by that name.
    std::string base = AddBackslash(options.baseFolder, kPathSeparator == '/');
    const uint64_t device = options.oneFileSystem ? folderDevice(base) : 0;
    searchFolder(options, base, device);
    return GetFileCount();
}

void FileFinder::searchFolder(const FindOptions& options, std::string& base, uint64_t device) {
    // One pass over the folder gathers both its subfolders and the entries that
    // match the mask; the enumeration is closed before any subfolder is entered.
    std::vector<std::string> subfolders;
    std::vector<FolderEntry> candidates;
    {
        const bool descend = options.subfolders != 0;
        FolderReader reader(base, descend && options.oneFileSystem);
        FolderEntry entry;
        while (!stopRequested() && reader.next(entry)) {
            if (isDotOrDotDot(entry.name)) {
                continue;
            }
            if (descend && entry.kind == EntryKind::Directory && !entry.throughLink &&
                (!options.oneFileSystem || entry.device == device)) {
                subfolders.push_back(entry.name);
            }
            if (matchesMask(entry.name, options.fileMask)) {
                candidates.push_back(std::move(entry));
            }
        }
    }

    const size_t baseLength = base.size();
    for (const std::string& name : subfolders) {
        if (stopRequested()) {
            break;
        }
        base.append(name).push_back(kPathSeparator);
        searchFolder(options, base, device);
        base.resize(baseLength);
    }

    m_searchingFolder = base;
    report(FF_FOLDER);
    for (FolderEntry& entry : candidates) {
        if (stopRequested()) {
            break;
        }
        std::string path = base + entry.name;
        if (passesFilters(options, path, entry)) {
            if (entry.kind == EntryKind::Directory) {
                path.push_back(kPathSeparator);
            }
            m_results.push_back(std::move(path));
            report(FF_FOUND);
        } else {
            report(FF_DISCARDED);
        }
    }
}

bool FileFinder::passesFilters(const FindOptions& options, const std::string& path, FolderEntry& entry) {
    const uint32_t flags = options.optionFlags;
    if ((flags & FIND_ATTRIBUTES) != 0 && (entry.attributes & options.fileAttributes) == 0) {
        return false;
    }
    if ((flags & (FIND_SIZE | FIND_MODIFIED | FIND_CREATED | FIND_ACCESSED)) != 0) {
        if (!entry.hasDetails && !readEntryDetails(path, entry.details)) {
            return false;
        }
        entry.hasDetails = true;
        const EntryDetails& details = entry.details;
        if ((flags & FIND_SIZE) != 0 && !within(details.size, options.minSize, options.maxSize)) {
            return false;
        }
        if ((flags & FIND_MODIFIED) != 0 &&
            !within(details.modified, options.minModified, options.maxModified)) {
            return false;
        }
        if ((flags & FIND_CREATED) != 0 && !within(details.created, options.minCreated, options.maxCreated)) {
            return false;
        }
        if ((flags & FIND_ACCESSED) != 0 &&
            !within(details.accessed, options.minAccessed, options.maxAccessed)) {
            return false;
        }
    }
    return (flags & FIND_TEXT) == 0 || FindTextInFile(path, options.findText);
}

bool FileFinder::FindTextInFile(const std::string& path, const std::string& text) {
    if (text.empty()) {
        return false;
    }
    const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return false;
    }
    std::string wanted = text;
    std::transform(wanted.begin(), wanted.end(), wanted.begin(), upperAscii);
    // Each chunk is searched behind the last `kept` characters of the one before,
    // so a text that spans two chunks is still found.
    const size_t kept = wanted.size();
    const size_t chunkSize = std::max<size_t>(128, 2 * kept) - kept;
    std::vector<char> chunk(chunkSize);
    std::string buffer(kept, ' ');
    bool found = false;
    for (int chunks = 1;; ++chunks) {
        const size_t got = std::fread(chunk.data(), 1, chunkSize, file.get());
        buffer.erase(0, buffer.size() - kept);
        for (size_t i = 0; i < got; ++i) {
            if (chunk[i] != '\0') {
                buffer.push_back(upperAscii(chunk[i]));
            }
        }
        found = buffer.find(wanted) != std::string::npos;
        if (chunks % 10 == 0) {
            report(FF_FINDTEXT);
        }
        if (found || got < chunkSize) {
            return found;
        }
    }
}
