// Loads arbitrary bytes as the settings file, from a real file in a folder of
// this process's own, then saves what was loaded and loads that again: the
// second load must give back what the first one loaded. The save and the second
// load go through the bytes the file functions write and read, without the
// disk and its syncs.
#include <stdlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "fuzz_support.h"
#include "launch/config_file.h"
#include "launch/settings.h"
#include "net/size_buffer.h"

namespace {

namespace fs = std::filesystem;

struct Settings {
    int32_t rememberPassword = 0, lastArticleNo = 0, showNews = 0, autoLogin = 0, firstRun = 0;
    std::string userName, password, extraParams, serverPassword;
    std::vector<WadDirectory> directories;  // front first
};

Settings current() {
    const auto lock = lockSettings();
    Settings settings;
    settings.rememberPassword = bv_rememberpassword;
    settings.lastArticleNo = bv_lastarticleno;
    settings.showNews = bv_shownews;
    settings.autoLogin = bv_autologin;
    settings.firstRun = bv_firstrun;
    settings.userName = bv_username;
    settings.password = bv_password;
    settings.extraParams = bv_extraparams;
    settings.serverPassword = bv_serverpassword;
    settings.directories.assign(wad_directories.begin(), wad_directories.end());
    return settings;
}

// What a load can give: byte values or -1 for a field past the end, texts that
// a save writes back whole, and directories that AddWadDirectory takes.
void checkLoaded(const Settings& s) {
    for (const int32_t value : {s.rememberPassword, s.lastArticleNo, s.showNews, s.autoLogin, s.firstRun}) {
        FUZZ_CHECK(value >= -1 && value <= 255);
    }
    for (const std::string* text : {&s.userName, &s.password, &s.extraParams, &s.serverPassword}) {
        FUZZ_CHECK(settingTextFits(*text, kMaxReadString - 1));
    }
    for (const WadDirectory& directory : s.directories) {
        FUZZ_CHECK(settingTextFits(directory.path, kMaxWadPath));
        FUZZ_CHECK(directory.listIndex >= INT16_MIN && directory.listIndex <= INT16_MAX);
    }
}

const fs::path& configFile() {
    static const fs::path file = [] {
        std::string pattern = (fs::temp_directory_path() / "pellrig-settings-fuzz-XXXXXX").string();
        FUZZ_CHECK(::mkdtemp(pattern.data()) != nullptr);
        static const fs::path folder = pattern;
        std::atexit([] {
            std::error_code error;
            fs::remove_all(folder, error);
        });
        return folder / kConfigFileName;
    }();
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A new file each time: rewriting one in place makes some file systems
    // flush it to the disk at every close.
    std::remove(configFile().c_str());
    std::FILE* file = std::fopen(configFile().c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);

    resetSettings();
    BV_LoadConfig(configFile());
    const Settings loaded = current();
    checkLoaded(loaded);

    const std::optional<std::vector<uint8_t>> saved = configFileBytes();
    // Only a record near the limit that was cut short, whose missing fields the
    // save writes out in full, grows past it.
    FUZZ_CHECK(saved || size > kConfigMaxSize - 64);
    resetSettings();
    if (!saved) {
        return 0;
    }
    loadConfigBytes(*saved);
    const Settings again = current();
    // Nothing left allocated between inputs, or libFuzzer runs each again to look for a leak.
    resetSettings();

    // Numbers are stored as bytes; a directory list comes back in reverse order.
    FUZZ_CHECK(again.rememberPassword == (loaded.rememberPassword & 0xFF));
    FUZZ_CHECK(again.lastArticleNo == (loaded.lastArticleNo & 0xFF));
    FUZZ_CHECK(again.showNews == (loaded.showNews & 0xFF));
    FUZZ_CHECK(again.autoLogin == (loaded.autoLogin & 0xFF));
    FUZZ_CHECK(again.firstRun == (loaded.firstRun & 0xFF));
    FUZZ_CHECK(again.userName == loaded.userName);
    FUZZ_CHECK(again.password == loaded.password);
    FUZZ_CHECK(again.extraParams == loaded.extraParams);
    FUZZ_CHECK(again.serverPassword == loaded.serverPassword);
    FUZZ_CHECK(again.directories.size() == loaded.directories.size());
    for (size_t i = 0; i < again.directories.size(); ++i) {
        const WadDirectory& before = loaded.directories[loaded.directories.size() - 1 - i];
        FUZZ_CHECK(again.directories[i].path == before.path);
        FUZZ_CHECK(again.directories[i].listIndex == before.listIndex);
    }
    return 0;
}
