#include "launch/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace {

bool writeAll(int fd, std::span<const uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        done += static_cast<size_t>(written);
    }
    return true;
}

// Makes the rename itself survive a crash. Failing here loses nothing that a
// crash would not, so the result is not examined.
void syncFolder(const std::filesystem::path& file) {
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

bool replaceFileContents(const std::filesystem::path& path, std::span<const uint8_t> bytes) {
    std::string temporary = path.string() + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    bool written = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 && writeAll(fd, bytes) && ::fsync(fd) == 0;
    written = ::close(fd) == 0 && written;
    if (written && std::rename(temporary.c_str(), path.c_str()) == 0) {
        syncFolder(path);
        return true;
    }
    ::unlink(temporary.c_str());
    return false;
}

std::filesystem::path createFileBeside(const std::filesystem::path& name) {
    std::string path = name.string() + ".XXXXXX";
    const int fd = ::mkstemp(path.data());
    if (fd < 0) {
        return {};
    }
    ::close(fd);
    return path;
}

bool moveUnlessPresent(const std::filesystem::path& from, const std::filesystem::path& to) {
    // A hard link is never made over an existing name, unlike a rename.
    if (::link(from.c_str(), to.c_str()) != 0) {
        return false;
    }
    ::unlink(from.c_str());
    syncFolder(to);
    return true;
}
