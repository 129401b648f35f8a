#pragma once

#include <cstddef>
#include <cstdint>
#include <forward_list>
#include <mutex>
#include <string>
#include <string_view>

// The settings that survive a restart and the WAD directory list. They are
// process-wide: loaded once when the log-in dialog opens, saved at the moments
// the shell chooses (see config_file.h).
//
// Locking: read and write them under lockSettings() whenever another thread may
// be using them (the log-in thread writes the account fields, the news thread
// bv_lastarticleno, a WAD scan may run on a worker). The functions declared in
// this header take no lock: their caller holds it. Never hold it while waiting
// for the user, the network or another thread.

inline constexpr int32_t CONFIG_VERSION = 104;

// Longest texts a setting may hold. A string read from the file stops after
// 2047 characters, before the NUL of a string that long, so only 2046 come back
// whole; a directory entry holds at most 255.
inline constexpr size_t kMaxUserName = 16;
inline constexpr size_t kMaxPassword = 16;
inline constexpr size_t kMaxServerPassword = 32;
inline constexpr size_t kMaxExtraParams = 2046;
inline constexpr size_t kMaxWadPath = 255;

extern int32_t bv_rememberpassword;  // keep user name and password in the file
extern int32_t bv_lastarticleno;     // last news article announced
extern int32_t bv_shownews;          // run the news check at start
extern int32_t bv_autologin;         // log in as soon as the log-in dialog opens
extern int32_t bv_firstrun;          // above 0 until the first start has run through
extern std::string bv_username;
extern std::string bv_password;
extern std::string bv_extraparams;     // appended to the game's command line
extern std::string bv_serverpassword;  // tried on password-protected servers

// One WAD directory: a path ending in a separator, to which a file name is
// appended directly.
struct WadDirectory {
    int32_t listIndex = 0;  // row the directory list gave it when added; stored in 16 bits
    std::string path;
};

// Newest entry first. A file found in two directories is taken from the one
// nearer the front.
extern std::forward_list<WadDirectory> wad_directories;

[[nodiscard]] std::unique_lock<std::mutex> lockSettings();

// Whether `text` can be kept in a setting of at most `maxLength` characters and
// read back from the file unchanged: no NUL and no byte 255, which would end the
// stored string early. Entry points (dialogs, AddWadDirectory) refuse texts that
// do not fit rather than store something that loads as something else.
bool settingTextFits(std::string_view text, size_t maxLength);

// Sets the integer settings to their defaults; texts and directories stay.
void BV_DefaultConfig();

// Puts a new entry at the front of wad_directories. Refuses (returns false) a
// path that does not fit kMaxWadPath; duplicates are not checked.
bool AddWadDirectory(std::string path, int32_t listIndex);

// Removes every entry whose path equals `path` exactly; returns how many.
int RemoveWadDirectories(std::string_view path);

void ClearWadDirectories();

// Texts empty, integers at their defaults, no directories: the state at program
// start, before the file is loaded.
void resetSettings();
