#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include "launch/folder_reader.h"

struct FolderReader::State {
    DIR* dir = nullptr;
    bool wantDevices = false;
};

namespace {

unsigned char typeOf(mode_t mode) {
    if (S_ISREG(mode)) {
        return DT_REG;
    }
    if (S_ISDIR(mode)) {
        return DT_DIR;
    }
    if (S_ISLNK(mode)) {
        return DT_LNK;
    }
    return DT_UNKNOWN;
}

EntryDetails detailsOf(const struct stat& status) {
    return {static_cast<int64_t>(status.st_size), static_cast<int64_t>(status.st_ctime),
            static_cast<int64_t>(status.st_mtime), static_cast<int64_t>(status.st_atime)};
}

}  // namespace

FolderReader::FolderReader(const std::string& folder, bool wantDevices) : m_state(std::make_unique<State>()) {
    m_state->dir = ::opendir(folder.empty() ? "." : folder.c_str());
    m_state->wantDevices = wantDevices;
}

FolderReader::~FolderReader() {
    if (m_state->dir != nullptr) {
        ::closedir(m_state->dir);
    }
}

bool FolderReader::isOpen() const {
    return m_state->dir != nullptr;
}

bool FolderReader::next(FolderEntry& entry) {
    if (m_state->dir == nullptr) {
        return false;
    }
    const dirent* found = ::readdir(m_state->dir);
    if (found == nullptr) {
        return false;
    }
    entry.name = found->d_name;
    entry.throughLink = false;
    entry.device = 0;

    // The entry's type usually comes with its name; a stat is needed only for
    // links, for file systems that leave the type out, and for devices.
    const int folder = ::dirfd(m_state->dir);
    struct stat status {};
    bool haveStatus = false;
    unsigned char type = found->d_type;
    if (type == DT_UNKNOWN) {
        haveStatus = ::fstatat(folder, found->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0;
        type = haveStatus ? typeOf(status.st_mode) : static_cast<unsigned char>(DT_UNKNOWN);
    }
    if (type == DT_LNK) {
        entry.throughLink = true;
        haveStatus = ::fstatat(folder, found->d_name, &status, 0) == 0;
        type = haveStatus ? typeOf(status.st_mode) : static_cast<unsigned char>(DT_UNKNOWN);
    }
    entry.kind = type == DT_REG ? EntryKind::File : type == DT_DIR ? EntryKind::Directory : EntryKind::Other;
    if (entry.kind == EntryKind::Directory && m_state->wantDevices && !entry.throughLink) {
        if (!haveStatus) {
            haveStatus = ::fstatat(folder, found->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0;
        }
        entry.device = haveStatus ? static_cast<uint64_t>(status.st_dev) : 0;
    }

    entry.attributes = entry.kind == EntryKind::File        ? kAttributeArchive
                       : entry.kind == EntryKind::Directory ? kAttributeDirectory
                                                            : 0;
    if (entry.name.front() == '.') {
        entry.attributes |= kAttributeHidden;
    }
    entry.hasDetails = haveStatus;
    if (haveStatus) {
        entry.details = detailsOf(status);
    }
    return true;
}

bool readEntryDetails(const std::string& path, EntryDetails& details) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        return false;
    }
    details = detailsOf(status);
    return true;
}

uint64_t folderDevice(const std::string& folder) {
    struct stat status {};
    if (::stat(folder.empty() ? "." : folder.c_str(), &status) != 0) {
        return 0;
    }
    return static_cast<uint64_t>(status.st_dev);
}
