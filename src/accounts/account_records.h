#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "browser/record_text.h"

// The account levels and the two records that the account service's replies
// fill: the logged-in player's own statistics and the last profile received.

enum class AccountLevel : int32_t {
    Warrior = 0,
    Vorlok = 1,
    Garou = 2,  // administrator: edits and deletes accounts, switches statistics collection
};

// The level's entry in the profile dialog's level list, in list order; empty
// for a value that is no level.
std::string_view accountLevelText(int32_t level);

inline constexpr int32_t kAdministratorLevel = static_cast<int32_t>(AccountLevel::Garou);

// The logged-in player. Zero until a log-in succeeds.
struct OwnAccount {
    int32_t rank = 0;
    int32_t level = 0;  // handed to the game on launch
    int32_t experience = 0;
    int32_t highestRank = 0;
    int32_t accountLevel = 0;  // an AccountLevel; exactly 2 grants the administrator's rights

    friend bool operator==(const OwnAccount&, const OwnAccount&) = default;
};

inline constexpr size_t kProfileNameSize = 64;  // 63 characters and NUL
inline constexpr size_t kProfileBioSize = 256;  // 255 characters and NUL

// The last profile received. Texts are NUL-terminated and cut to fit.
struct PlayerProfile {
    char name[kProfileNameSize] = {};
    char bio[kProfileBioSize] = {};
    int32_t rank = 0;
    int32_t highestRank = 0;
    int32_t level = 0;
    int32_t experience = 0;
    int32_t accountLevel = 0;
    int32_t rankPicture = 0;  // 0..7: which rank picture the profile dialog draws
    int32_t avatar = 0;       // 1..54: a personal picture in place of the rank picture; 0 none

    friend bool operator==(const PlayerProfile&, const PlayerProfile&) = default;
};

// Whether two account names are the same player: compared letter for letter
// after both are turned to upper case, as the master server treats them.
bool sameAccountName(std::string_view a, std::string_view b);
