#include "scenario.h"

#include <fstream>
#include <limits>
#include <set>
#include <sstream>

#include <nlohmann/json.hpp>

using nlohmann::json;

namespace {

// The launcher's texts are 8-bit, so each character of a scenario's text goes on
// the wire as its Latin-1 byte. The parser has checked that `utf8` is UTF-8.
bool toLatin1(const std::string& utf8, std::string& out) {
    out.clear();
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead < 0x80) {
            out += utf8[i];
        } else if ((lead == 0xC2 || lead == 0xC3) && i + 1 < utf8.size()) {
            out += static_cast<char>(((lead & 0x03) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F));
        } else {
            return false;
        }
    }
    return true;
}

// Reads the keys of one JSON object into typed fields. The first error is kept
// in `error` with the key's path; every later call then does nothing, so a
// caller can read all fields and check once at the end.
class ObjectReader {
  public:
    ObjectReader(const json& object, std::string path, std::string& error)
        : m_object(object), m_path(std::move(path)), m_error(error) {
        if (m_error.empty() && !m_object.is_object()) {
            fail(m_path, "expected an object");
        }
    }

    bool ok() const { return m_error.empty(); }

    template <typename T>
    void integer(const char* key, int64_t min, int64_t max, T& out) {
        const json* value = find(key);
        if (value == nullptr) {
            return;
        }
        int64_t number = 0;
        if (!toInteger(*value, number) || number < min || number > max) {
            fail(pathOf(key),
                 "expected an integer from " + std::to_string(min) + " to " + std::to_string(max));
            return;
        }
        out = static_cast<T>(number);
    }

    template <typename T>
    void optionalInteger(const char* key, int64_t min, int64_t max, std::optional<T>& out) {
        if (m_object.is_object() && m_object.contains(key)) {
            T value{};
            integer(key, min, max, value);
            out = value;
        }
    }

    void number(const char* key, double min, double max, double& out) {
        const json* value = find(key);
        if (value == nullptr) {
            return;
        }
        if (!value->is_number() || value->get<double>() < min || value->get<double>() > max) {
            fail(pathOf(key), "expected a number from " + trimmed(min) + " to " + trimmed(max));
            return;
        }
        out = value->get<double>();
    }

    void boolean(const char* key, bool& out) {
        const json* value = find(key);
        if (value == nullptr) {
            return;
        }
        if (!value->is_boolean()) {
            fail(pathOf(key), "expected true or false");
            return;
        }
        out = value->get<bool>();
    }

    void text(const char* key, std::string& out) {
        const json* value = find(key);
        if (value != nullptr) {
            readText(*value, pathOf(key), out);
        }
    }

    void texts(const char* key, std::vector<std::string>& out) {
        const json* value = find(key);
        if (value == nullptr) {
            return;
        }
        if (!value->is_array()) {
            fail(pathOf(key), "expected an array of strings");
            return;
        }
        out.clear();
        for (size_t i = 0; i < value->size() && ok(); ++i) {
            readText((*value)[i], indexed(pathOf(key), i), out.emplace_back());
        }
    }

    // The array under `key`, or nullptr when absent or on error.
    const json* array(const char* key) {
        const json* value = find(key);
        if (value != nullptr && !value->is_array()) {
            fail(pathOf(key), "expected an array");
            return nullptr;
        }
        return value;
    }

    // The raw value under `key` for the caller to interpret, or nullptr.
    const json* raw(const char* key) { return find(key); }

    void fail(const std::string& path, const std::string& message) {
        if (m_error.empty()) {
            m_error = path + ": " + message;
        }
    }

    std::string pathOf(const char* key) const { return m_path.empty() ? key : m_path + "." + key; }

    // Reports the first key that no reader asked for.
    void rejectUnknownKeys() {
        if (!ok()) {
            return;
        }
        for (const auto& item : m_object.items()) {
            if (m_seen.count(item.key()) == 0) {
                fail(pathOf(item.key().c_str()), "unknown key");
                return;
            }
        }
    }

    static std::string indexed(const std::string& path, size_t index) {
        return path + "[" + std::to_string(index) + "]";
    }

  private:
    const json* find(const char* key) {
        m_seen.insert(key);
        if (!ok()) {
            return nullptr;
        }
        const auto it = m_object.find(key);
        return it == m_object.end() ? nullptr : &*it;
    }

    void readText(const json& value, const std::string& path, std::string& out) {
        if (!value.is_string()) {
            fail(path, "expected a string");
            return;
        }
        if (!toLatin1(value.get<std::string>(), out)) {
            fail(path, "a character past Latin-1 (U+00FF)");
            return;
        }
        if (out.size() > kMaxScenarioText) {
            fail(path, "longer than " + std::to_string(kMaxScenarioText) + " characters");
        }
    }

    static bool toInteger(const json& value, int64_t& out) {
        if (value.is_number_unsigned()) {
            const uint64_t number = value.get<uint64_t>();
            if (number > static_cast<uint64_t>(std::numeric_limits<int64_t>::max())) {
                return false;
            }
            out = static_cast<int64_t>(number);
            return true;
        }
        if (value.is_number_integer()) {
            out = value.get<int64_t>();
            return true;
        }
        return false;
    }

    static std::string trimmed(double value) {
        std::ostringstream text;
        text << value;
        return text.str();
    }

    const json& m_object;
    std::string m_path;
    std::string& m_error;
    std::set<std::string, std::less<>> m_seen;
};

constexpr int64_t kShortMin = -32768;
constexpr int64_t kShortMax = 32767;
constexpr int64_t kLongMin = std::numeric_limits<int32_t>::min();
// Flags are bit sets: accept them written as unsigned too.
constexpr int64_t kFlagsMax = std::numeric_limits<uint32_t>::max();

void readGameType(ObjectReader& reader, int& out) {
    const json* value = reader.raw("game_type");
    if (value == nullptr || !value->is_string()) {
        reader.integer("game_type", 0, 255, out);
        return;
    }
    const std::string name = value->get<std::string>();
    if (name == "deathmatch") {
        out = 0;
    } else if (name == "teamplay") {
        out = 1;
    } else if (name == "cooperative") {
        out = 2;
    } else {
        reader.fail(reader.pathOf("game_type"), "expected deathmatch, teamplay, cooperative or 0..255");
    }
}

void readPlayer(const json& value, const std::string& path, PlayerEntry& player, std::string& error) {
    ObjectReader reader(value, path, error);
    reader.text("name", player.name);
    reader.integer("frags", kShortMin, kShortMax, player.frags);
    reader.integer("ping", kShortMin, kShortMax, player.ping);
    reader.integer("level", 0, 255, player.level);
    reader.integer("time", kShortMin, kShortMax, player.time);
    reader.rejectUnknownKeys();
}

void readServer(const json& value, const std::string& path, ScenarioServer& server, std::string& error) {
    ObjectReader reader(value, path, error);
    ServerInfo& info = server.info;
    reader.text("name", info.name);
    reader.text("map", info.map);
    reader.integer("max_players", 0, 255, info.max_players);
    readGameType(reader, info.game_type);
    reader.text("game", info.game_name);
    reader.text("iwad", info.iwad);
    reader.texts("pwads", info.pwads);
    reader.text("url", info.url);
    reader.text("email", info.email);
    reader.integer("dmflags", kLongMin, kFlagsMax, info.dmflags);
    reader.integer("dmflags2", kLongMin, kFlagsMax, info.dmflags2);
    if (const json* players = reader.array("players")) {
        for (size_t i = 0; i < players->size() && reader.ok(); ++i) {
            readPlayer((*players)[i], ObjectReader::indexed(reader.pathOf("players"), i),
                       info.players.emplace_back(), error);
        }
    }
    info.num_players = static_cast<int>(info.players.size());
    reader.integer("num_players", 0, 255, info.num_players);
    reader.integer("scorecard", 0, 255, server.scorecard);
    reader.integer("marker", 0, 255, server.marker);
    reader.integer("port", 0, 65535, server.port);
    reader.number("delay_ms", 0, kMaxDelayMs, server.delayMs);
    reader.boolean("silent", server.silent);
    reader.boolean("closed", server.closed);
    reader.optionalInteger("reply_code", kLongMin, std::numeric_limits<int32_t>::max(), server.replyCode);
    reader.optionalInteger("truncate_reply", 0, std::numeric_limits<int32_t>::max(), server.truncateReply);
    reader.rejectUnknownKeys();
    if (reader.ok() && info.pwads.size() > 255) {
        reader.fail(reader.pathOf("pwads"), "more than 255 names");
    }
    if (reader.ok() && info.players.size() > 255) {
        reader.fail(reader.pathOf("players"), "more than 255 entries");
    }
}

}  // namespace

bool parseScenario(std::string_view text, Scenario& out, std::string& error) {
    error.clear();
    const json root = json::parse(text, nullptr, /*allow_exceptions=*/false);
    if (root.is_discarded()) {
        error = "not valid JSON";
        return false;
    }
    Scenario scenario;
    ObjectReader reader(root, "", error);
    if (const json* master = reader.raw("master")) {
        ObjectReader masterReader(*master, "master", error);
        masterReader.optionalInteger("port", 0, 65535, scenario.master.port);
        masterReader.boolean("silent", scenario.master.silent);
        masterReader.number("delay_ms", 0, kMaxDelayMs, scenario.master.delayMs);
        masterReader.rejectUnknownKeys();
    }
    const json* servers = reader.array("servers");
    if (reader.ok() && servers == nullptr) {
        reader.fail("servers", "missing");
    }
    for (size_t i = 0; reader.ok() && i < servers->size(); ++i) {
        readServer((*servers)[i], ObjectReader::indexed("servers", i), scenario.servers.emplace_back(),
                   error);
    }
    reader.rejectUnknownKeys();
    if (!reader.ok()) {
        return false;
    }
    out = std::move(scenario);
    return true;
}

bool loadScenarioFile(const std::string& path, Scenario& out, std::string& error) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        error = path + ": cannot open";
        return false;
    }
    std::ostringstream text;
    text << file.rdbuf();
    if (!parseScenario(text.str(), out, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}
