#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_set>
#include <vector>

#include "launch/file_finder.h"
#include "launch/user_messages.h"

inline constexpr const char* kNetworkDriveRefused = "Sorry, this program does not support networked drives.";
inline constexpr const char* kNetworkDriveCaption = "Error time";
inline constexpr const char* kDirectoryTooLong =
    "Sorry, this program does not support directories with paths longer than 255 characters.";
inline constexpr const char* kScanCanceled = "Seached Canceled.";
inline constexpr const char* kDirectoriesFound = "%d potential WAD directories found";

// The WAD Directory Setup dialog as the core sees it: a one-column list of
// directories, a status line and the buttons that a scan disables.
//
// Called on the thread that calls the editor operation; when the shell runs a
// scan on a worker thread, the scan's calls come from that worker and the view
// must queue them onto its UI thread (and answer rowCount from a mirror).
class WadDirectoryView {
  public:
    virtual ~WadDirectoryView() = default;

    // Inserts a row before `position` (0 is the top, past the end appends) and
    // returns the index it got.
    virtual int insertRow(int position, const std::string& path) = 0;
    virtual void removeRow(int row) = 0;
    virtual void clearRows() = 0;
    virtual int rowCount() const = 0;
    // The row that is both selected and focused, or none.
    virtual std::optional<int> selectedRow() const = 0;
    virtual std::string rowText(int row) const = 0;
    virtual void setStatus(const std::string& text) = 0;
    // While searching, the Auto button reads "Cancel" and Add, Remove and Done
    // are disabled; afterwards they are restored.
    virtual void setSearching(bool searching) = 0;
};

// Keeps the rows in memory: tests and command-line tools. Thread-safe.
class MemoryWadDirectoryView final : public WadDirectoryView {
  public:
    int insertRow(int position, const std::string& path) override;
    void removeRow(int row) override;
    void clearRows() override;
    int rowCount() const override;
    std::optional<int> selectedRow() const override;
    std::string rowText(int row) const override;
    void setStatus(const std::string& text) override;
    void setSearching(bool searching) override;

    void select(std::optional<int> row);
    std::vector<std::string> rows() const;
    std::string status() const;
    bool searching() const;

  private:
    mutable std::mutex m_mutex;
    std::vector<std::string> m_rows;
    std::optional<int> m_selected;
    std::string m_status;
    bool m_searching = false;
};

// The logic of the WAD Directory Setup dialog: editing wad_directories by hand
// and replacing it with the folders that an automatic scan finds.
//
// Every operation but cancelScan and stopScan runs on the thread that owns the
// dialog. A scan is one blocking call; it calls the progress handler after each
// report of the finder, where a dialog on the same thread processes its pending
// events (and a click on Cancel arrives as cancelScan). A dialog may instead run
// scan() on a worker thread and call cancelScan() from its UI thread.
// wad_directories is changed under lockSettings().
class WadDirectoryEditor {
  public:
    // `sendMasterRequest` is called by done() during the first run;
    // `configLocation` is where done() saves (see configFilePath).
    WadDirectoryEditor(WadDirectoryView& view, ModalMessageView& messages,
                       std::function<void()> sendMasterRequest, std::filesystem::path configLocation = {});
    WadDirectoryEditor(const WadDirectoryEditor&) = delete;
    WadDirectoryEditor& operator=(const WadDirectoryEditor&) = delete;

    void setProgressHandler(std::function<void()> handler);

    // Fills the view from wad_directories, each entry at its list index.
    void open();

    // Adds the folder the user chose (nothing for an empty one), with a separator
    // appended, at the top and the front. Refuses network folders and paths
    // longer than 255 characters with a message. Duplicates are allowed.
    bool add(std::string folder);

    // Removes the selected row and every entry with exactly its path.
    void removeSelected();

    // Replaces the whole list (hand-added folders included) with every folder
    // under `roots` that directly holds a regular file matching "*.wad": deepest
    // first, each once, each new one at the top and the front. Roots are
    // searched in order without leaving their file systems; a cancel leaves the
    // remaining roots unsearched and keeps what was found.
    void scan(const std::vector<std::string>& roots);

    // Cancels a running scan: stops the finder, tells the user and shows the
    // count. Does nothing when no scan runs or it is already cancelled.
    // Callable from the progress handler or from another thread.
    void cancelScan();
    // Stops a running scan without a word to the user, for a dialog that goes
    // away during it. Callable from the progress handler or from another thread.
    void stopScan();
    bool searching() const { return m_searching.load(); }

    // Done: sends the master list request during the first run, then saves.
    void done();

    // Shows `folder`, or without one the number of rows found.
    void ShowScanStatus(const std::optional<std::string>& folder);

  private:
    void onFinderReport(FinderCode code);

    WadDirectoryView& m_view;
    ModalMessageView& m_messages;
    std::function<void()> m_sendMasterRequest;
    std::filesystem::path m_configLocation;
    std::function<void()> m_progress;
    FileFinder m_finder;
    std::atomic<bool> m_searching{false};
    std::atomic<bool> m_cancelled{false};
    // The folders already in the list during a scan, which alone fills it.
    std::unordered_set<std::string> m_found;
};
