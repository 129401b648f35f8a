#include "launch/wad_index.h"

#include <algorithm>
#include <cctype>

#include "launch/folder_reader.h"
#include "launch/game_launch.h"
#include "launch/settings.h"

namespace {

#ifdef _WIN32
constexpr bool kNamesIgnoreCase = true;
#else
constexpr bool kNamesIgnoreCase = false;
#endif

std::string lowerCase(std::string_view name) {
    std::string lower(name);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    return lower;
}

}  // namespace

WadIndex::WadIndex(const std::vector<std::string>& folders) {
    for (const std::string& folder : folders) {
        FolderReader reader(folder, false);
        FolderEntry entry;
        while (reader.next(entry)) {
            if (entry.kind == EntryKind::File) {
                m_files[lowerCase(entry.name)].push_back(entry.name);
            }
        }
    }
}

WadIndex WadIndex::ofWadDirectories() {
    std::vector<std::string> folders;
    {
        const auto lock = lockSettings();
        for (const WadDirectory& directory : wad_directories) {
            folders.push_back(directory.path);
        }
    }
    return WadIndex(folders);
}

bool WadIndex::has(std::string_view name) const {
    if (!isPlainFileName(name)) {
        return false;
    }
    const auto found = m_files.find(lowerCase(name));
    if (found == m_files.end()) {
        return false;
    }
    return kNamesIgnoreCase ||
           std::find(found->second.begin(), found->second.end(), name) != found->second.end();
}

std::vector<std::string> WadIndex::missing(const LaunchTarget& server) const {
    std::vector<std::string> names;
    if (!has(server.iwad)) {
        names.push_back(server.iwad);
    }
    for (const std::string& pwad : server.pwads) {
        if (!has(pwad)) {
            names.push_back(pwad);
        }
    }
    return names;
}
