#include <windows.h>

#include <cstring>

#include "launch/drives.h"

std::vector<std::string> fixedDriveRoots() {
    // Room for 24 roots; a longer list is fetched whole rather than cut.
    std::vector<char> buffer(100);
    DWORD length = GetLogicalDriveStringsA(static_cast<DWORD>(buffer.size()), buffer.data());
    if (length > buffer.size()) {
        buffer.resize(length);
        length = GetLogicalDriveStringsA(static_cast<DWORD>(buffer.size()), buffer.data());
    }
    std::vector<std::string> roots;
    if (length == 0 || length > buffer.size()) {
        return roots;
    }
    // Roots of the form C:\, each followed by a NUL, within the `length` bytes filled.
    for (size_t at = 0; at < length && buffer[at] != '\0';) {
        const std::string root(buffer.data() + at, strnlen(buffer.data() + at, length - at));
        if (GetDriveTypeA(root.c_str()) == DRIVE_FIXED) {
            roots.push_back(root);
        }
        at += root.size() + 1;
    }
    return roots;
}

bool isNetworkFolder(const std::string& /*folder*/) {
    return false;
}
