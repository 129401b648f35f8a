#include "launch/settings.h"

#include <algorithm>

int32_t bv_rememberpassword = 0;
int32_t bv_lastarticleno = 0;
int32_t bv_shownews = 1;
int32_t bv_autologin = 0;
int32_t bv_firstrun = 1;
std::string bv_username;
std::string bv_password;
std::string bv_extraparams;
std::string bv_serverpassword;

std::forward_list<WadDirectory> wad_directories;

std::unique_lock<std::mutex> lockSettings() {
    static std::mutex mutex;
    return std::unique_lock(mutex);
}

bool settingTextFits(std::string_view text, size_t maxLength) {
    return text.size() <= maxLength &&
           std::none_of(text.begin(), text.end(), [](char c) { return c == '\0' || c == '\xFF'; });
}

void BV_DefaultConfig() {
    bv_rememberpassword = 0;
    bv_lastarticleno = 0;
    bv_shownews = 1;
    bv_autologin = 0;
    bv_firstrun = 1;
}

bool AddWadDirectory(std::string path, int32_t listIndex) {
    if (!settingTextFits(path, kMaxWadPath)) {
        return false;
    }
    wad_directories.push_front({listIndex, std::move(path)});
    return true;
}

int RemoveWadDirectories(std::string_view path) {
    return static_cast<int>(wad_directories.remove_if([&](const WadDirectory& d) { return d.path == path; }));
}

void ClearWadDirectories() {
    wad_directories.clear();
}

void resetSettings() {
    BV_DefaultConfig();
    bv_username.clear();
    bv_password.clear();
    bv_extraparams.clear();
    bv_serverpassword.clear();
    ClearWadDirectories();
}
