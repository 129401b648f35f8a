#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The simulated master's accounts: players with their passwords and statistics,
// the players that logged in last, and the statistics-collection switch of each
// game server. Kept in memory and, when a file is given, written back to it
// after every change.
//
// The file is one JSON object; every key is optional and an unknown key is an
// error:
//
//   {
//     "accounts": [
//       {"name": "alice", "password": "wonderland", "bio": "", "experience": 1500,
//        "account_level": 0, "avatar": 0, "highest_rank": 0}
//     ],
//     "recent": ["alice"],                          // last log-ins, newest first
//     "stat_collection": {"127.0.0.1:10666": true}  // switched by administrators
//   }

struct SimAccount {
    std::string name;
    std::string password;
    std::string bio;
    int32_t experience = 0;
    int32_t accountLevel = 0;  // 2 is the administrator
    int32_t avatar = 0;
    int32_t highestRank = 0;  // best rank seen so far; 0 none yet
};

// The statistics the master computes for an account.
struct SimStanding {
    int32_t rank = 0;  // 1 for the most experience
    int32_t highestRank = 0;
    int32_t level = 0;  // one level per kExperiencePerLevel points
    int32_t levelFloor = 0;
    int32_t levelCeiling = 0;
    int32_t rankPicture = 0;
};

inline constexpr int32_t kExperiencePerLevel = 1000;

class AccountStore {
  public:
    // The players every store starts with when it has no file yet.
    static std::vector<SimAccount> seedAccounts();

    // An in-memory store of the seed players.
    AccountStore();

    // Loads `path`; a file that does not exist yet starts from the seed players
    // and is written at the first change. Returns false with a reason for a file
    // that cannot be read or parsed.
    bool open(const std::string& path, std::string& error);

    // Account names are compared without regard to letter case.
    SimAccount* find(std::string_view name);
    // Adds a new player with no experience. False when the name is taken.
    bool create(std::string_view name, std::string_view password);
    bool remove(std::string_view name);
    // Moves `name` to the front of the recent players.
    void loggedIn(std::string_view name);
    void setStatCollection(const std::string& server, bool enabled);

    // Computes rank, level and bounds, and keeps the highest rank reached.
    SimStanding standing(SimAccount& account);

    const std::vector<SimAccount>& accounts() const { return m_accounts; }
    const std::vector<std::string>& recent() const { return m_recent; }
    const std::map<std::string, bool>& statCollection() const { return m_statCollection; }

    // Writes the file when there is one; false with a reason when it cannot.
    bool save(std::string& error) const;

  private:
    std::string m_path;
    std::vector<SimAccount> m_accounts;
    std::vector<std::string> m_recent;
    std::map<std::string, bool> m_statCollection;
};
