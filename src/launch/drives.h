#pragma once

#include <string>
#include <vector>

// The local disks that the automatic WAD scan searches, and the folders that
// the WAD directories refuse: the platform seam of the WAD directory setup.

// Roots of the local fixed disks in the order the system lists them, each
// ending in a separator and each file system once. Windows: the drive roots of
// type fixed. Linux: the mount points of local disk file systems (ext4, xfs,
// btrfs, ntfs, vfat and the like) on devices that are not removable; never
// pseudo, network or optical file systems.
std::vector<std::string> fixedDriveRoots();

// Whether `folder` lies on a network file system (Linux: nfs, cifs, sshfs and
// the like). Windows: false; a share named by \\server is refused by its name,
// and a network drive reached through a drive letter is accepted.
bool isNetworkFolder(const std::string& folder);
