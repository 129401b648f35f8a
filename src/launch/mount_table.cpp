#include "launch/mount_table.h"

#include <algorithm>
#include <array>

namespace {

bool isOctal(char c) {
    return c >= '0' && c <= '7';
}

std::string decodeField(std::string_view field) {
    std::string text;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && field.size() - i >= 4 && isOctal(field[i + 1]) && isOctal(field[i + 2]) &&
            isOctal(field[i + 3])) {
            text.push_back(static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 +
                                             (field[i + 3] - '0')));
            i += 3;
        } else {
            text.push_back(field[i]);
        }
    }
    return text;
}

template <size_t N>
bool isOneOf(std::string_view type, const std::array<std::string_view, N>& types) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

}  // namespace

std::vector<MountEntry> parseMountTable(std::string_view text) {
    std::vector<MountEntry> table;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));

        std::vector<std::string_view> fields;
        while (fields.size() < 3) {
            const size_t start = line.find_first_not_of(" \t");
            if (start == std::string_view::npos) {
                break;
            }
            line.remove_prefix(start);
            const size_t length = std::min(line.find_first_of(" \t"), line.size());
            fields.push_back(line.substr(0, length));
            line.remove_prefix(length);
        }
        if (fields.size() == 3) {
            table.push_back({decodeField(fields[0]), decodeField(fields[1]), std::string(fields[2])});
        }
    }
    return table;
}

bool isLocalDiskType(std::string_view type) {
    static constexpr std::array<std::string_view, 21> kLocal = {
        "ext2",    "ext3", "ext4",   "xfs",      "btrfs",    "f2fs",    "ntfs",
        "ntfs3",   "vfat", "msdos",  "exfat",    "jfs",      "zfs",     "hfs",
        "hfsplus", "ufs",  "nilfs2", "bcachefs", "reiserfs", "fuseblk", "reiser4"};
    return isOneOf(type, kLocal);
}

bool isNetworkType(std::string_view type) {
    static constexpr std::array<std::string_view, 16> kNetwork = {
        "nfs",  "nfs4",      "cifs",   "smb3",   "smbfs", "ncpfs", "9p",    "afs",
        "ceph", "glusterfs", "lustre", "beegfs", "gpfs",  "coda",  "davfs", "sshfs"};
    static constexpr std::array<std::string_view, 9> kNetworkFuse = {
        "sshfs", "rclone", "s3fs", "gvfsd-fuse", "glusterfs", "davfs2", "curlftpfs", "smbnetfs", "gcsfuse"};
    constexpr std::string_view kFuse = "fuse.";
    if (type.substr(0, kFuse.size()) == kFuse) {
        return isOneOf(type.substr(kFuse.size()), kNetworkFuse);
    }
    return isOneOf(type, kNetwork);
}

const MountEntry* mountHolding(const std::vector<MountEntry>& table, std::string_view path) {
    const MountEntry* holding = nullptr;
    size_t holdingLength = 0;
    for (const MountEntry& entry : table) {
        std::string_view point = entry.mountPoint;
        while (!point.empty() && point.back() == '/') {
            point.remove_suffix(1);
        }
        // The root, with its slash removed, holds every absolute path.
        const bool holds = path.substr(0, point.size()) == point &&
                           (path.size() == point.size() || path[point.size()] == '/');
        if (holds && !path.empty() && path.front() == '/' &&
            (holding == nullptr || point.size() >= holdingLength)) {
            holding = &entry;
            holdingLength = point.size();
        }
    }
    return holding;
}
