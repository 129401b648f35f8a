#pragma once

#include <string>
#include <string_view>
#include <vector>

// The mount table of a POSIX system, as /proc/self/mounts lists it.

struct MountEntry {
    std::string device;
    std::string mountPoint;
    std::string type;
};

// Parses the table's lines ("device mount-point type options ..."), decoding
// the octal escapes (\040 for a blank) of the first two fields. Lines with
// fewer than three fields are skipped.
std::vector<MountEntry> parseMountTable(std::string_view text);

// File systems that live on a local disk: ext2/3/4, xfs, btrfs, f2fs, ntfs,
// ntfs3, vfat, exfat and the like.
bool isLocalDiskType(std::string_view type);

// File systems reached over a network: nfs, cifs, smb3, sshfs and the like.
bool isNetworkType(std::string_view type);

// The entry whose mount point holds the absolute path `path`: the longest
// mount point that is `path` or one of its parents, the later entry when two
// are mounted at the same point. Null when none does.
const MountEntry* mountHolding(const std::vector<MountEntry>& table, std::string_view path);
