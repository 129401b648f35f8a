#pragma once

#include <cstdint>
#include <memory>
#include <string>

// Reading one folder's entries: the platform seam of the file finder.

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Entry attributes, with the values Windows gives them. On POSIX a regular file
// carries kAttributeArchive, a directory kAttributeDirectory and a name that
// begins with a dot kAttributeHidden; nothing else maps.
inline constexpr uint32_t kAttributeReadOnly = 0x01;
inline constexpr uint32_t kAttributeHidden = 0x02;
inline constexpr uint32_t kAttributeSystem = 0x04;
inline constexpr uint32_t kAttributeDirectory = 0x10;
inline constexpr uint32_t kAttributeArchive = 0x20;

enum class EntryKind { File, Directory, Other };

// Length and times, in whole seconds since 1970. On POSIX "created" is the
// status-change time, the nearest that stat() reports.
struct EntryDetails {
    int64_t size = 0;
    int64_t created = 0;
    int64_t modified = 0;
    int64_t accessed = 0;
};

struct FolderEntry {
    std::string name;
    EntryKind kind = EntryKind::Other;  // of the link's target for a symbolic link
    // Reached through a symbolic link or other reparse point: listed like any
    // entry but never descended into, so a link cannot make a search loop.
    bool throughLink = false;
    uint32_t attributes = 0;
    uint64_t device = 0;      // file system of a directory, when the reader was asked for it
    bool hasDetails = false;  // whether `details` is filled; else readEntryDetails()
    EntryDetails details;
};

// One open enumeration of a folder's entries, "." and ".." included, in the
// order the platform delivers them. Owned by one thread.
class FolderReader {
  public:
    // `folder` ends in a separator, or is empty for the working directory. With
    // `wantDevices`, each directory entry's `device` is filled.
    FolderReader(const std::string& folder, bool wantDevices);
    ~FolderReader();
    FolderReader(const FolderReader&) = delete;
    FolderReader& operator=(const FolderReader&) = delete;

    // False when the folder cannot be enumerated (then next() yields nothing).
    bool isOpen() const;
    // Fills `entry` with the next entry; false at the end.
    bool next(FolderEntry& entry);

  private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Length and times of the file at `path`; false when it cannot be examined.
bool readEntryDetails(const std::string& path, EntryDetails& details);

// The file system that holds `folder`, comparable with FolderEntry::device; 0
// when unknown.
uint64_t folderDevice(const std::string& folder);
