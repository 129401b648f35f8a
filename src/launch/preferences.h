#pragma once

#include <cstddef>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "launch/user_messages.h"

// The settings of what Pellrig adds to the original program. They live in a JSON
// object of their own, "pellrig.json", so that pellrig32.cfg keeps its layout.

inline constexpr const char* kPreferencesFileName = "pellrig.json";
// A longer file is not read at all.
inline constexpr size_t kPreferencesMaxSize = size_t{1} << 20;

// Each known key is a member with its default, named as its key; a new one also
// needs a line in the key table of preferences.cpp.
struct Preferences {
    bool fastRefresh = false;  // the ping sweep runs the fast refresh
    // The column each list is sorted by (-1: as the core inserted the rows) and
    // whether it sorts descending.
    int serverSortColumn = -1;
    bool serverSortDescending = false;
    int playerSortColumn = -1;
    bool playerSortDescending = false;
    // The server list's filter: the text as typed (UTF-8), the check boxes, the
    // game type (-1 any, else a ServerRecord game_type), and whether its bar shows.
    std::string filterText;
    bool hideEmpty = false;
    bool hideFull = false;
    bool hideSilent = false;
    int gameType = -1;
    bool filterBarShown = false;
    // The player's favourite servers ("a.b.c.d:port"), in the player's order.
    std::vector<std::string> favourites;
    // The WAD sites missing PWADs are fetched from, in order: URLs in which
    // "{name}" stands for the file name.
    std::vector<std::string> wadSites;
    // Keys this version does not know, each with its value as JSON text, written
    // back unchanged so that a newer version's settings are not lost.
    std::map<std::string, std::string> otherKeys;
};

struct LoadedPreferences {
    Preferences preferences;
    std::optional<UserMessage> message;  // for the user, when the file was damaged
};

// "pellrig.json" in the folder where configFilePath(location) puts pellrig32.cfg.
std::filesystem::path preferencesFilePath(const std::filesystem::path& location);

// Reads the file at preferencesFilePath(location). A missing file gives the
// defaults and no message. A file that cannot be read, is longer than
// kPreferencesMaxSize, is not a JSON object or holds a known key of the wrong
// type gives the defaults for what could not be read, and a message naming the
// file. Never throws.
//
// Neither function locks anything: they use only their arguments and the file.
// The program loads at start-up and saves on the UI thread, never both at once.
LoadedPreferences loadPreferences(const std::filesystem::path& location);

// Writes the preferences and the other keys as one JSON object, through
// replaceFileContents: when that fails the old file stays as it was and the
// user sees a message through `messages`. Returns whether the file was written.
bool savePreferences(const Preferences& preferences, ModalMessageView& messages,
                     const std::filesystem::path& location);
