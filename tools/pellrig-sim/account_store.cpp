#include "account_store.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

using nlohmann::json;

namespace {

bool sameName(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

// Checks that `object` holds only `known` keys; names the first other one.
bool onlyKnownKeys(const json& object, const std::set<std::string>& known, const std::string& path,
                   std::string& error) {
    for (const auto& [key, value] : object.items()) {
        if (known.count(key) == 0) {
            error = path;
            error.append(".").append(key).append(": unknown key");
            return false;
        }
    }
    return true;
}

bool readInteger(const json& object, const char* key, int32_t& out, const std::string& path,
                 std::string& error) {
    if (!object.contains(key)) {
        return true;
    }
    const json& value = object[key];
    if (!value.is_number_integer() || value.get<int64_t>() < std::numeric_limits<int32_t>::min() ||
        value.get<int64_t>() > std::numeric_limits<int32_t>::max()) {
        error = path + "." + key + ": expected a 32-bit integer";
        return false;
    }
    out = value.get<int32_t>();
    return true;
}

bool readText(const json& object, const char* key, std::string& out, const std::string& path,
              std::string& error) {
    if (!object.contains(key)) {
        return true;
    }
    if (!object[key].is_string()) {
        error = path + "." + key + ": expected a string";
        return false;
    }
    out = object[key].get<std::string>();
    return true;
}

bool parseAccount(const json& entry, const std::string& path, SimAccount& account, std::string& error) {
    if (!entry.is_object()) {
        error = path + ": expected an object";
        return false;
    }
    if (!onlyKnownKeys(entry,
                       {"name", "password", "bio", "experience", "account_level", "avatar", "highest_rank"},
                       path, error)) {
        return false;
    }
    if (!readText(entry, "name", account.name, path, error) ||
        !readText(entry, "password", account.password, path, error) ||
        !readText(entry, "bio", account.bio, path, error) ||
        !readInteger(entry, "experience", account.experience, path, error) ||
        !readInteger(entry, "account_level", account.accountLevel, path, error) ||
        !readInteger(entry, "avatar", account.avatar, path, error) ||
        !readInteger(entry, "highest_rank", account.highestRank, path, error)) {
        return false;
    }
    if (account.name.empty()) {
        error = path + ".name: an account needs a name";
        return false;
    }
    return true;
}

}  // namespace

std::vector<SimAccount> AccountStore::seedAccounts() {
    return {
        {"Cyb", "cyberdemon", "Rockets first, questions later.", 7300, 1, 0, 0},
        {"alice", "wonderland", "", 1500, 0, 0, 0},
        {"Gaffer", "loupgarou", "Keeps the servers honest.", 5200, 2, 12, 0},
        {"imp", "fireball", "Fresh from E1M1.", 300, 0, 0, 0},
    };
}

AccountStore::AccountStore() : m_accounts(seedAccounts()) {
    for (const SimAccount& account : m_accounts) {
        m_recent.push_back(account.name);
    }
}

bool AccountStore::open(const std::string& path, std::string& error) {
    m_path = path;
    std::error_code ignored;
    if (!std::filesystem::exists(path, ignored)) {
        return true;
    }
    std::ifstream file(path);
    std::stringstream text;
    text << file.rdbuf();
    if (!file) {
        error = path + ": cannot read the file";
        return false;
    }
    const json root = json::parse(text.str(), nullptr, false);
    if (root.is_discarded() || !root.is_object()) {
        error = path + ": not a JSON object";
        return false;
    }
    if (!onlyKnownKeys(root, {"accounts", "recent", "stat_collection"}, "accounts file", error)) {
        return false;
    }
    std::vector<SimAccount> accounts;
    if (root.contains("accounts")) {
        if (!root["accounts"].is_array()) {
            error = "accounts: expected an array";
            return false;
        }
        for (size_t i = 0; i < root["accounts"].size(); ++i) {
            SimAccount account;
            const std::string where = "accounts[" + std::to_string(i) + "]";
            if (!parseAccount(root["accounts"][i], where, account, error)) {
                return false;
            }
            accounts.push_back(std::move(account));
        }
    }
    std::vector<std::string> recent;
    if (root.contains("recent")) {
        if (!root["recent"].is_array()) {
            error = "recent: expected an array of names";
            return false;
        }
        for (const json& name : root["recent"]) {
            if (!name.is_string()) {
                error = "recent: expected an array of names";
                return false;
            }
            recent.push_back(name.get<std::string>());
        }
    }
    std::map<std::string, bool> switches;
    if (root.contains("stat_collection")) {
        if (!root["stat_collection"].is_object()) {
            error = "stat_collection: expected an object of true or false";
            return false;
        }
        for (const auto& [server, enabled] : root["stat_collection"].items()) {
            if (!enabled.is_boolean()) {
                error = "stat_collection." + server + ": expected true or false";
                return false;
            }
            switches[server] = enabled.get<bool>();
        }
    }
    m_accounts = std::move(accounts);
    m_recent = std::move(recent);
    m_statCollection = std::move(switches);
    return true;
}

SimAccount* AccountStore::find(std::string_view name) {
    const auto it = std::find_if(m_accounts.begin(), m_accounts.end(),
                                 [&](const SimAccount& account) { return sameName(account.name, name); });
    return it == m_accounts.end() ? nullptr : &*it;
}

bool AccountStore::create(std::string_view name, std::string_view password) {
    if (find(name) != nullptr) {
        return false;
    }
    SimAccount account;
    account.name = name;
    account.password = password;
    m_accounts.push_back(std::move(account));
    return true;
}

bool AccountStore::remove(std::string_view name) {
    const auto it = std::find_if(m_accounts.begin(), m_accounts.end(),
                                 [&](const SimAccount& account) { return sameName(account.name, name); });
    if (it == m_accounts.end()) {
        return false;
    }
    m_accounts.erase(it);
    std::erase_if(m_recent, [&](const std::string& recent) { return sameName(recent, name); });
    return true;
}

void AccountStore::loggedIn(std::string_view name) {
    std::erase_if(m_recent, [&](const std::string& recent) { return sameName(recent, name); });
    m_recent.insert(m_recent.begin(), std::string(name));
}

void AccountStore::setStatCollection(const std::string& server, bool enabled) {
    m_statCollection[server] = enabled;
}

SimStanding AccountStore::standing(SimAccount& account) {
    SimStanding standing;
    standing.rank = 1 + static_cast<int32_t>(std::count_if(
                            m_accounts.begin(), m_accounts.end(),
                            [&](const SimAccount& other) { return other.experience > account.experience; }));
    if (account.highestRank == 0 || standing.rank < account.highestRank) {
        account.highestRank = standing.rank;
    }
    standing.highestRank = account.highestRank;
    standing.level = std::max(account.experience, 0) / kExperiencePerLevel;
    standing.levelFloor = standing.level * kExperiencePerLevel;
    standing.levelCeiling = standing.levelFloor + kExperiencePerLevel;
    standing.rankPicture = std::min(standing.level, 7);
    return standing;
}

bool AccountStore::save(std::string& error) const {
    if (m_path.empty()) {
        return true;
    }
    json accounts = json::array();
    for (const SimAccount& account : m_accounts) {
        accounts.push_back({{"name", account.name},
                            {"password", account.password},
                            {"bio", account.bio},
                            {"experience", account.experience},
                            {"account_level", account.accountLevel},
                            {"avatar", account.avatar},
                            {"highest_rank", account.highestRank}});
    }
    json switches = json::object();
    for (const auto& [server, enabled] : m_statCollection) {
        switches[server] = enabled;
    }
    const json root{{"accounts", accounts}, {"recent", m_recent}, {"stat_collection", switches}};
    // Written beside the file and renamed over it, so a reader never sees half a file.
    const std::string temporary = m_path + ".tmp";
    {
        std::ofstream file(temporary, std::ios::trunc);
        // Texts are the launcher's 8-bit strings, not necessarily UTF-8.
        file << root.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
        if (!file) {
            error = temporary + ": cannot write the file";
            return false;
        }
    }
    std::error_code failure;
    std::filesystem::rename(temporary, m_path, failure);
    if (failure) {
        error = m_path + ": " + failure.message();
        return false;
    }
    return true;
}
