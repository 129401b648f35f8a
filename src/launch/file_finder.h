#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "launch/folder_reader.h"

// Filters of FindOptions::optionFlags, tested in this order: attributes, size,
// last write, creation, last access, text.
inline constexpr uint32_t FIND_SIZE = 0x01;
inline constexpr uint32_t FIND_MODIFIED = 0x02;
inline constexpr uint32_t FIND_CREATED = 0x04;
inline constexpr uint32_t FIND_ACCESSED = 0x08;
inline constexpr uint32_t FIND_ATTRIBUTES = 0x10;
inline constexpr uint32_t FIND_TEXT = 0x20;

// What a progress report is about.
enum FinderCode : int32_t {
    FF_FOUND = 0,      // an entry matched every filter and joined the results
    FF_DISCARDED = 1,  // an entry matched the mask but failed a filter
    FF_FOLDER = 2,     // a folder's own entries come next (its subfolders are done)
    FF_FINDTEXT = 3,   // every tenth chunk read while looking for text in a file
};

// What to search for. Copyable; a default-constructed record holds the reset
// values (times "now").
struct FindOptions {
    FindOptions();
    void reset();

    std::string baseFolder;
    std::string fileMask = "*.*";  // '*' and '?', case-insensitive; "x.*" also matches a name without a dot
    std::string findText;          // FIND_TEXT
    int32_t subfolders = 0;        // also search every subfolder, depth first
    uint32_t optionFlags = 0;
    int64_t minSize = 0;  // FIND_SIZE, bytes, inclusive
    int64_t maxSize = 0;
    // Inclusive bounds in whole seconds since 1970.
    int64_t minCreated = 0;
    int64_t maxCreated = 0;
    int64_t minModified = 0;
    int64_t maxModified = 0;
    int64_t minAccessed = 0;
    int64_t maxAccessed = 0;
    uint32_t fileAttributes = 0;  // FIND_ATTRIBUTES: an entry needs one of these bits
    // Do not enter folders of another file system than baseFolder's (POSIX;
    // Windows searches one volume per root anyway).
    bool oneFileSystem = false;
};

// Walks a directory tree and collects the paths of the entries that match,
// reporting progress to a callback.
//
// A search runs synchronously on the caller's thread; the callback is the only
// contact with the outside while it runs. Subfolders are searched before a
// folder's own entries, and each folder is read once, its enumeration closed
// before its subfolders are entered, so at most one is open at any time.
// Symbolic links to directories are never followed.
class FileFinder {
  public:
    // Receives the finder, the code and the parameter given to SetCallback. It
    // may call StopSearch but must not start another Find or change the results.
    using Callback = std::function<void(FileFinder& finder, FinderCode code, void* parameter)>;

    void SetCallback(Callback callback, void* parameter);

    // Searches `options.baseFolder` and adds the matches to the results (full
    // paths; a matching directory ends in a separator). Earlier results stay.
    // Returns the number of results.
    int32_t Find(const FindOptions& options);

    // Ends the running Find: the folders it is in still report FF_FOLDER, nothing
    // more is examined, and the results so far stay. Safe from any thread; the
    // next Find starts with the request cleared.
    void StopSearch();

    int32_t GetFileCount() const;
    // The result at `index`, or an empty text outside 0 to count - 1.
    std::string GetFilePath(int32_t index) const;
    void RemoveAll();

    // The folder whose entries are being examined, ending in a separator; during
    // an FF_FOUND report the folder that holds the entry just found.
    const std::string& GetSearchingFolder() const { return m_searchingFolder; }

    // Whether the file contains `text`, compared without regard to ASCII case and
    // with zero bytes of the file skipped. False for an empty text or a file that
    // does not open. Reports FF_FINDTEXT every tenth chunk read.
    bool FindTextInFile(const std::string& path, const std::string& text);

  private:
    void searchFolder(const FindOptions& options, std::string& base, uint64_t device);
    bool passesFilters(const FindOptions& options, const std::string& path, FolderEntry& entry);
    void report(FinderCode code);
    bool stopRequested() const { return m_stopRequested.load(std::memory_order_relaxed); }

    std::vector<std::string> m_results;
    std::atomic<bool> m_stopRequested{false};
    Callback m_callback;
    void* m_parameter = nullptr;
    std::string m_searchingFolder;
};

// `path` with a separator appended unless it ends in '\' or '/' already: a
// backslash, or a forward slash when `useForwardSlash`. An empty path stays empty.
std::string AddBackslash(std::string path, bool useForwardSlash);

// Whether a file name matches a wildcard mask ('*' any run, '?' one character,
// ASCII case ignored).
bool matchesMask(std::string_view name, std::string_view mask);
