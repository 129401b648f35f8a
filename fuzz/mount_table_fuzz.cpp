// Parses arbitrary text as the system's mount table and looks up the mount that
// holds a path in it, as the WAD directory checks do with /proc/self/mounts.
// Whatever was parsed, written back out with the table's escapes, must parse
// to the same entries.
//
// Input: the table's text, then optionally a NUL byte and the path to look up.
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "launch/mount_table.h"

namespace {

// A field as the kernel writes it: blanks, tabs, line feeds and backslashes as
// three-digit octal escapes.
std::string escaped(std::string_view field) {
    std::string text;
    for (const char c : field) {
        if (c == ' ' || c == '\t' || c == '\n' || c == '\\') {
            const auto byte = static_cast<unsigned char>(c);
            text += '\\';
            text += static_cast<char>('0' + (byte >> 6));
            text += static_cast<char>('0' + ((byte >> 3) & 7));
            text += static_cast<char>('0' + (byte & 7));
        } else {
            text += c;
        }
    }
    return text;
}

std::string_view withoutTrailingSlashes(std::string_view point) {
    while (!point.empty() && point.back() == '/') {
        point.remove_suffix(1);
    }
    return point;
}

// Whether `point` is `path` or one of its parents.
bool holds(std::string_view point, std::string_view path) {
    point = withoutTrailingSlashes(point);
    return path.starts_with(point) && (path.size() == point.size() || path[point.size()] == '/');
}

bool sameEntries(const std::vector<MountEntry>& a, const std::vector<MountEntry>& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].device != b[i].device || a[i].mountPoint != b[i].mountPoint || a[i].type != b[i].type) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t split = input.find('\0');
    const std::string_view text = input.substr(0, split);
    const std::string_view path = split == std::string_view::npos ? "/" : input.substr(split + 1);

    const std::vector<MountEntry> table = parseMountTable(text);
    std::string written;
    for (const MountEntry& entry : table) {
        FUZZ_CHECK(!entry.device.empty() && !entry.mountPoint.empty() && !entry.type.empty());
        FUZZ_CHECK(entry.type.find_first_of(" \t\n") == std::string::npos);
        written += escaped(entry.device) + ' ' + escaped(entry.mountPoint) + ' ' + entry.type + " rw 0 0\n";
        FUZZ_CHECK(!(isLocalDiskType(entry.type) && isNetworkType(entry.type)));
    }
    FUZZ_CHECK(sameEntries(parseMountTable(written), table));

    const MountEntry* holder = mountHolding(table, path);
    if (holder == nullptr) {
        // The root holds every absolute path.
        for (const MountEntry& entry : table) {
            FUZZ_CHECK(!path.starts_with('/') || !withoutTrailingSlashes(entry.mountPoint).empty());
        }
        return 0;
    }
    FUZZ_CHECK(holder >= table.data() && holder < table.data() + table.size());
    FUZZ_CHECK(path.starts_with('/'));
    FUZZ_CHECK(holds(holder->mountPoint, path));
    // The deepest mount point wins, and of two at the same point the later one.
    const size_t depth = withoutTrailingSlashes(holder->mountPoint).size();
    for (const MountEntry& entry : table) {
        if (holds(entry.mountPoint, path)) {
            const size_t other = withoutTrailingSlashes(entry.mountPoint).size();
            FUZZ_CHECK(other < depth || (other == depth && &entry <= holder));
        }
    }
    return 0;
}
