#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

#include "launch/drives.h"
#include "launch/mount_table.h"

namespace {

std::vector<MountEntry> currentMounts() {
    std::ifstream file("/proc/self/mounts");
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return parseMountTable(text);
}

std::string readFirstLine(const std::string& path) {
    std::ifstream file(path);
    std::string line;
    std::getline(file, line);
    return line;
}

// USB sticks, card readers and optical drives say so in sysfs; a partition
// asks its disk.
bool isRemovableDevice(const std::string& device) {
    std::error_code error;
    const std::filesystem::path node = std::filesystem::canonical(device, error);
    if (error || node.parent_path() != "/dev") {
        return false;
    }
    const std::string block = "/sys/class/block/" + node.filename().string();
    std::string removable = readFirstLine(block + "/removable");
    if (removable.empty()) {
        removable = readFirstLine(block + "/../removable");
    }
    return removable == "1";
}

}  // namespace

std::vector<std::string> fixedDriveRoots() {
    std::vector<std::string> roots;
    std::set<dev_t> searched;
    for (const MountEntry& entry : currentMounts()) {
        if (!isLocalDiskType(entry.type) || isRemovableDevice(entry.device)) {
            continue;
        }
        // Files bound over files are mounts too; and a file system mounted at
        // several points is searched from the first only.
        struct stat status {};
        if (::stat(entry.mountPoint.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
            !searched.insert(status.st_dev).second) {
            continue;
        }
        std::string root = entry.mountPoint;
        if (root.back() != '/') {
            root.push_back('/');
        }
        roots.push_back(std::move(root));
    }
    return roots;
}

bool isNetworkFolder(const std::string& folder) {
    std::error_code error;
    std::filesystem::path path = std::filesystem::canonical(folder, error);
    if (error) {
        path = std::filesystem::absolute(folder, error).lexically_normal();
    }
    const std::vector<MountEntry> mounts = currentMounts();
    const MountEntry* mount = mountHolding(mounts, path.string());
    return mount != nullptr && isNetworkType(mount->type);
}
