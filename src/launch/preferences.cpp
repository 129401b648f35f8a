#include "launch/preferences.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <nlohmann/json.hpp>
#include <system_error>
#include <utility>
#include <variant>
#include <vector>

#include "launch/config_file.h"
#include "launch/file_replace.h"

namespace {

using nlohmann::json;

// Deeper values are refused: writing one back takes a call per level.
constexpr int kMaxDepth = 64;

UserMessage unreadable(const std::filesystem::path& file) {
    return {"The preferences file " + file.string() + " could not be read; the defaults are used.", "",
            MessageIcon::Exclamation};
}

// The whole file; nothing when it cannot be read or is longer than the bound.
std::optional<std::string> readWhole(const std::filesystem::path& path) {
    std::FILE* file = std::fopen(path.string().c_str(), "rb");
    if (file == nullptr) {
        return std::nullopt;
    }
    std::string text(kPreferencesMaxSize + 1, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file));
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed || text.size() > kPreferencesMaxSize) {
        return std::nullopt;
    }
    return text;
}

// The JSON value in `text`; a discarded one for text that is not JSON or nests too deep.
json parseBounded(const std::string& text) {
    bool tooDeep = false;
    json value = json::parse(
        text,
        [&tooDeep](int depth, json::parse_event_t /*event*/, json& /*parsed*/) {
            tooDeep = tooDeep || depth > kMaxDepth;
            return true;
        },
        false);
    return tooDeep ? json(json::value_t::discarded) : value;
}

// Every known key and the member it sets.
struct Key {
    const char* name;
    std::variant<bool Preferences::*, int Preferences::*, std::string Preferences::*,
                 std::vector<std::string> Preferences::*>
        member;
};

const Key kKeys[] = {
    {"fastRefresh", &Preferences::fastRefresh},
    {"serverSortColumn", &Preferences::serverSortColumn},
    {"serverSortDescending", &Preferences::serverSortDescending},
    {"playerSortColumn", &Preferences::playerSortColumn},
    {"playerSortDescending", &Preferences::playerSortDescending},
    {"filterText", &Preferences::filterText},
    {"hideEmpty", &Preferences::hideEmpty},
    {"hideFull", &Preferences::hideFull},
    {"hideSilent", &Preferences::hideSilent},
    {"gameType", &Preferences::gameType},
    {"filterBarShown", &Preferences::filterBarShown},
    {"favourites", &Preferences::favourites},
    {"wadSites", &Preferences::wadSites},
};

const Key* knownKey(const std::string& name) {
    for (const Key& key : kKeys) {
        if (name == key.name) {
            return &key;
        }
    }
    return nullptr;
}

// Sets the member of `key` from `value`; false when the value has the wrong type.
bool readKey(const Key& key, const json& value, Preferences& preferences) {
    if (const auto* flag = std::get_if<bool Preferences::*>(&key.member)) {
        if (value.is_boolean()) {
            preferences.*(*flag) = value.get<bool>();
            return true;
        }
    } else if (const auto* number = std::get_if<int Preferences::*>(&key.member)) {
        const bool fits = value.is_number_unsigned()
                              ? value.get<uint64_t>() <= uint64_t{std::numeric_limits<int>::max()}
                              : value.is_number_integer() &&
                                    value.get<int64_t>() >= std::numeric_limits<int>::min() &&
                                    value.get<int64_t>() <= std::numeric_limits<int>::max();
        if (fits) {
            preferences.*(*number) = static_cast<int>(value.get<int64_t>());
            return true;
        }
    } else if (const auto* text = std::get_if<std::string Preferences::*>(&key.member)) {
        if (value.is_string()) {
            preferences.*(*text) = value.get<std::string>();
            return true;
        }
    } else if (value.is_array() &&
               std::all_of(value.begin(), value.end(), [](const json& item) { return item.is_string(); })) {
        preferences.*std::get<std::vector<std::string> Preferences::*>(key.member) =
            value.get<std::vector<std::string>>();
        return true;
    }
    return false;
}

std::string dumpText(const json& value, int indent) {
    return value.dump(indent, ' ', false, json::error_handler_t::replace);
}

}  // namespace

std::filesystem::path preferencesFilePath(const std::filesystem::path& location) {
    return configFilePath(location).replace_filename(kPreferencesFileName);
}

LoadedPreferences loadPreferences(const std::filesystem::path& location) {
    const std::filesystem::path file = preferencesFilePath(location);
    LoadedPreferences loaded;
    std::error_code error;
    if (!std::filesystem::exists(file, error) && !error) {
        return loaded;
    }
    const std::optional<std::string> text = readWhole(file);
    const json object = text ? parseBounded(*text) : json();
    if (!object.is_object()) {
        loaded.message = unreadable(file);
        return loaded;
    }
    for (const auto& [key, value] : object.items()) {
        const Key* known = knownKey(key);
        if (known == nullptr) {
            loaded.preferences.otherKeys[key] = dumpText(value, -1);
        } else if (!readKey(*known, value, loaded.preferences)) {
            loaded.message = unreadable(file);
        }
    }
    return loaded;
}

bool savePreferences(const Preferences& preferences, ModalMessageView& messages,
                     const std::filesystem::path& location) {
    json object = json::object();
    for (const auto& [key, text] : preferences.otherKeys) {
        json value = json::parse(text, nullptr, false);
        if (!value.is_discarded()) {
            object[key] = std::move(value);
        }
    }
    for (const Key& key : kKeys) {
        std::visit([&](auto member) { object[key.name] = preferences.*member; }, key.member);
    }
    const std::string text = dumpText(object, 2) + '\n';
    const std::filesystem::path file = preferencesFilePath(location);
    if (!replaceFileContents(file, std::vector<uint8_t>(text.begin(), text.end()))) {
        messages.showMessage(
            {"The preferences could not be saved to " + file.string() + ".", "", MessageIcon::Exclamation});
        return false;
    }
    return true;
}
