#include <windows.h>

#include "launch/folder_reader.h"

struct FolderReader::State {
    HANDLE handle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAA data{};
    bool pending = false;  // `data` holds the first entry, not yet returned
};

namespace {

int64_t unixSeconds(const FILETIME& time) {
    // FILETIME counts 100 ns intervals since 1601-01-01.
    const uint64_t ticks = (uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
    return static_cast<int64_t>(ticks / 10000000ULL) - 11644473600LL;
}

int64_t fileSize(DWORD high, DWORD low) {
    return static_cast<int64_t>((uint64_t{high} << 32) | low);
}

}  // namespace

FolderReader::FolderReader(const std::string& folder, bool /*wantDevices*/)
    : m_state(std::make_unique<State>()) {
    const std::string pattern = folder + "*";
    m_state->handle = FindFirstFileA(pattern.c_str(), &m_state->data);
    m_state->pending = m_state->handle != INVALID_HANDLE_VALUE;
}

FolderReader::~FolderReader() {
    if (m_state->handle != INVALID_HANDLE_VALUE) {
        FindClose(m_state->handle);
    }
}

bool FolderReader::isOpen() const {
    return m_state->handle != INVALID_HANDLE_VALUE;
}

bool FolderReader::next(FolderEntry& entry) {
    if (m_state->handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    if (!m_state->pending && FindNextFileA(m_state->handle, &m_state->data) == 0) {
        return false;
    }
    m_state->pending = false;
    const WIN32_FIND_DATAA& data = m_state->data;
    entry.name = data.cFileName;
    entry.attributes = data.dwFileAttributes;
    entry.kind =
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? EntryKind::Directory : EntryKind::File;
    // Junctions and directory links can point back up the tree.
    entry.throughLink = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    entry.device = 0;
    entry.hasDetails = true;
    entry.details = {fileSize(data.nFileSizeHigh, data.nFileSizeLow), unixSeconds(data.ftCreationTime),
                     unixSeconds(data.ftLastWriteTime), unixSeconds(data.ftLastAccessTime)};
    return true;
}

bool readEntryDetails(const std::string& path, EntryDetails& details) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) == 0) {
        return false;
    }
    details = {fileSize(data.nFileSizeHigh, data.nFileSizeLow), unixSeconds(data.ftCreationTime),
               unixSeconds(data.ftLastWriteTime), unixSeconds(data.ftLastAccessTime)};
    return true;
}

// Drives are searched one root at a time and mounted folders are reparse
// points, so a search never leaves its volume anyway.
uint64_t folderDevice(const std::string& /*folder*/) {
    return 0;
}
