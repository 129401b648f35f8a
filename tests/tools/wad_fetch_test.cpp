// Fetching WADs from the simulator's WAD site, faulty answers included.

#include "launch/wad_fetch.h"

#include <zip.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <thread>

#include "sim_process.h"

namespace {

namespace fs = std::filesystem;

// A small PWAD holding the first lump of Freedoom's first episode.
std::string smallWad(const char* magic = "PWAD") {
    std::ifstream in("/usr/share/games/doom/freedoom1.wad", std::ios::binary);
    const std::string freedoom{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_GT(freedoom.size(), 12u) << "install the Debian package freedoom";
    const auto number = [&freedoom](size_t at) {
        uint32_t value = 0;
        for (int i = 3; i >= 0; --i) {
            value = value << 8 | static_cast<unsigned char>(freedoom[at + static_cast<size_t>(i)]);
        }
        return value;
    };
    const uint32_t directory = number(8);
    const std::string lump = freedoom.substr(number(directory), number(directory + 4));
    const auto bytes = [](uint32_t value) {
        return std::string{static_cast<char>(value), static_cast<char>(value >> 8),
                           static_cast<char>(value >> 16), static_cast<char>(value >> 24)};
    };
    return std::string(magic) + bytes(1) + bytes(static_cast<uint32_t>(12 + lump.size())) + lump + bytes(12) +
           bytes(static_cast<uint32_t>(lump.size())) + freedoom.substr(directory + 8, 8);
}

void writeZip(const fs::path& path, const std::string& entry, const std::string& bytes) {
    int error = 0;
    zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(archive, nullptr);
    zip_source_t* source = zip_source_buffer(archive, bytes.data(), bytes.size(), 0);
    ASSERT_GE(zip_file_add(archive, entry.c_str(), source, ZIP_FL_OVERWRITE), 0);
    ASSERT_EQ(zip_close(archive), 0);
}

std::vector<std::string> filesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class WadFetch : public testing::Test {
  protected:
    WadFetch() {
        fs::create_directories(site);
        fs::create_directories(wads);
        std::ofstream(site / "demo.wad", std::ios::binary) << wad;
        std::ofstream(site / "game.wad", std::ios::binary) << smallWad("IWAD");
        writeZip(site / "zipped.zip", "inside/zipped.wad", wad);
        writeZip(site / "escape.zip", "../../escape.wad", wad);
        writeZip(site / "bomb.zip", "bomb.wad", std::string(3 << 20, '\0'));
        sim = std::make_unique<SimProcess>(std::vector<std::string>{"--wad-site", site.string()});
    }

    WadFetchResult fetch(const std::vector<std::string>& names, const std::vector<std::string>& sites,
                         const std::stop_token& stop = {}) {
        return fetchWads(
            names, sites, wads, limits, [](const WadFetchProgress&) {}, stop);
    }
    std::string url(const std::string& path) const { return "http://" + sim->news + path + "/{name}"; }

    TempDir folder;
    const fs::path site = folder.path() / "site";
    const fs::path wads = folder.path() / "wads";
    const std::string wad = smallWad();
    WadFetchLimits limits{uint64_t{1} << 20, std::chrono::milliseconds(5000), std::chrono::milliseconds(1000),
                          512, 3};
    std::unique_ptr<SimProcess> sim;
};

TEST_F(WadFetch, TheFileOrItsZipIsPutInPlaceWholeAndOnlyThere) {
    const WadFetchResult result =
        fetch({"demo.wad", "zipped.wad", "escape.wad"}, {url("/faulty/not-a-wad"), url("/wads")});
    ASSERT_EQ(result.status, WadFetchResult::Status::Fetched) << testing::PrintToString(result.attempts);
    EXPECT_EQ(filesIn(wads), (std::vector<std::string>{"demo.wad", "escape.wad", "zipped.wad"}));
    for (const char* name : {"demo.wad", "zipped.wad", "escape.wad"}) {
        std::ifstream in(wads / name, std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), wad)
            << name;
    }
    EXPECT_FALSE(fs::exists(folder.path() / "escape.wad"));

    // A file already there is never overwritten, and nothing is fetched for it.
    std::ofstream(wads / "demo.wad", std::ios::trunc) << "mine";
    EXPECT_EQ(fetch({"demo.wad"}, {url("/wads")}).status, WadFetchResult::Status::Fetched);
    std::ifstream mine(wads / "demo.wad");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(mine), std::istreambuf_iterator<char>()), "mine");
}

// Each fault fails with its reason for every address tried, and leaves nothing behind.
TEST_F(WadFetch, FaultsLeaveNothingBehind) {
    const struct {
        std::string name;
        std::string path;
        std::string reason;  // in an attempt's text
    } cases[] = {
        {"demo.wad", "/faulty/truncated", "remaining"},
        {"demo.wad", "/faulty/too-large", "larger than 1 MB"},
        {"demo.wad", "/faulty/endless", "larger than 1 MB"},
        {"demo.wad", "/faulty/not-a-wad", "not a WAD"},
        {"demo.wad", "/faulty/redirect-loop", "edirect"},
        {"demo.wad", "/faulty/redirect-ftp", "ftp"},
        {"demo.wad", "/faulty/slow", "too slow"},
        {"gone.wad", "/wads", "404"},
        {"bomb.wad", "/wads", "larger than 1 MB"},
        {"game.wad", "/wads", "IWAD"},
        {"../demo.wad", "/wads", "may be fetched"},
        {"demo.pk3", "/wads", "may be fetched"},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.path + " " + test.name);
        const WadFetchResult result = fetch({test.name}, {url(test.path)});
        EXPECT_EQ(result.status, WadFetchResult::Status::Failed);
        EXPECT_EQ(result.name, test.name);
        EXPECT_TRUE(std::any_of(
            result.attempts.begin(), result.attempts.end(),
            [&test](const std::string& attempt) { return attempt.find(test.reason) != std::string::npos; }))
            << testing::PrintToString(result.attempts);
        EXPECT_EQ(filesIn(wads), std::vector<std::string>{});
    }

    std::stop_source stop;
    std::jthread cancel([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        stop.request_stop();
    });
    EXPECT_EQ(fetch({"demo.wad"}, {url("/faulty/slow")}, stop.get_token()).status,
              WadFetchResult::Status::Cancelled);
    EXPECT_EQ(filesIn(wads), std::vector<std::string>{});
}

// A TLS server whose certificate no authority signed: verified, it serves nothing.
TEST_F(WadFetch, HttpsCertificatesAreVerified) {
    const std::string key = (folder.path() / "key.pem").string();
    const std::string certificate = (folder.path() / "certificate.pem").string();
    ASSERT_EQ(runToEnd("/usr/bin/openssl", {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key,
                                            "-out", certificate, "-days", "1", "-subj", "/CN=127.0.0.1"})
                  .exitCode,
              0);
    std::string error;
    const auto server = ChildProcess::start(
        "/usr/bin/openssl", {"s_server", "-accept", "127.0.0.1:0", "-cert", certificate, "-key", key, "-www"},
        error);
    ASSERT_NE(server, nullptr) << error;
    std::string line;
    while (server->readLine(line, std::chrono::seconds(10)) && line.rfind("ACCEPT ", 0) != 0) {
    }
    ASSERT_EQ(line.rfind("ACCEPT ", 0), 0u) << line;
    const WadFetchResult result = fetch({"demo.wad"}, {"https://" + line.substr(7) + "/{name}"});
    EXPECT_EQ(result.status, WadFetchResult::Status::Failed);
    ASSERT_FALSE(result.attempts.empty());
    EXPECT_NE(result.attempts.front().find("certificate"), std::string::npos) << result.attempts.front();
}

}  // namespace
