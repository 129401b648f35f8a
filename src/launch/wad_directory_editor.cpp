#include "launch/wad_directory_editor.h"

#include <algorithm>

#include "launch/config_file.h"
#include "launch/drives.h"
#include "launch/settings.h"

int MemoryWadDirectoryView::insertRow(int position, const std::string& path) {
    const std::scoped_lock lock(m_mutex);
    const int row = std::clamp(position, 0, static_cast<int>(m_rows.size()));
    m_rows.insert(m_rows.begin() + row, path);
    return row;
}

void MemoryWadDirectoryView::removeRow(int row) {
    const std::scoped_lock lock(m_mutex);
    if (row >= 0 && row < static_cast<int>(m_rows.size())) {
        m_rows.erase(m_rows.begin() + row);
        m_selected.reset();
    }
}

void MemoryWadDirectoryView::clearRows() {
    const std::scoped_lock lock(m_mutex);
    m_rows.clear();
    m_selected.reset();
}

int MemoryWadDirectoryView::rowCount() const {
    const std::scoped_lock lock(m_mutex);
    return static_cast<int>(m_rows.size());
}

std::optional<int> MemoryWadDirectoryView::selectedRow() const {
    const std::scoped_lock lock(m_mutex);
    return m_selected;
}

std::string MemoryWadDirectoryView::rowText(int row) const {
    const std::scoped_lock lock(m_mutex);
    return row >= 0 && row < static_cast<int>(m_rows.size()) ? m_rows[static_cast<size_t>(row)]
                                                             : std::string();
}

void MemoryWadDirectoryView::setStatus(const std::string& text) {
    const std::scoped_lock lock(m_mutex);
    m_status = text;
}

void MemoryWadDirectoryView::setSearching(bool searching) {
    const std::scoped_lock lock(m_mutex);
    m_searching = searching;
}

void MemoryWadDirectoryView::select(std::optional<int> row) {
    const std::scoped_lock lock(m_mutex);
    m_selected = row;
}

std::vector<std::string> MemoryWadDirectoryView::rows() const {
    const std::scoped_lock lock(m_mutex);
    return m_rows;
}

std::string MemoryWadDirectoryView::status() const {
    const std::scoped_lock lock(m_mutex);
    return m_status;
}

bool MemoryWadDirectoryView::searching() const {
    const std::scoped_lock lock(m_mutex);
    return m_searching;
}

WadDirectoryEditor::WadDirectoryEditor(WadDirectoryView& view, ModalMessageView& messages,
                                       std::function<void()> sendMasterRequest,
                                       std::filesystem::path configLocation)
    : m_view(view),
      m_messages(messages),
      m_sendMasterRequest(std::move(sendMasterRequest)),
      m_configLocation(std::move(configLocation)) {
    m_finder.SetCallback([](FileFinder&, FinderCode code,
                            void* editor) { static_cast<WadDirectoryEditor*>(editor)->onFinderReport(code); },
                         this);
}

void WadDirectoryEditor::setProgressHandler(std::function<void()> handler) {
    m_progress = std::move(handler);
}

void WadDirectoryEditor::open() {
    const auto lock = lockSettings();
    for (const WadDirectory& directory : wad_directories) {
        m_view.insertRow(directory.listIndex, directory.path);
    }
}

bool WadDirectoryEditor::add(std::string folder) {
    if (folder.empty()) {
        return false;
    }
    folder = AddBackslash(std::move(folder), kPathSeparator == '/');
    if (folder.starts_with("\\\\") || isNetworkFolder(folder)) {
        m_messages.showMessage({kNetworkDriveRefused, kNetworkDriveCaption, MessageIcon::None});
        return false;
    }
    if (!settingTextFits(folder, kMaxWadPath)) {
        m_messages.showMessage({kDirectoryTooLong, kNetworkDriveCaption, MessageIcon::None});
        return false;
    }
    const int row = m_view.insertRow(0, folder);
    const auto lock = lockSettings();
    AddWadDirectory(std::move(folder), row);
    return true;
}

void WadDirectoryEditor::removeSelected() {
    const std::optional<int> row = m_view.selectedRow();
    if (!row) {
        return;
    }
    const std::string path = m_view.rowText(*row);
    {
        const auto lock = lockSettings();
        RemoveWadDirectories(path);
    }
    m_view.removeRow(*row);
}

void WadDirectoryEditor::scan(const std::vector<std::string>& roots) {
    {
        const auto lock = lockSettings();
        ClearWadDirectories();
    }
    m_view.clearRows();
    m_found.clear();
    m_cancelled = false;
    m_searching = true;
    m_view.setSearching(true);

    for (const std::string& root : roots) {
        if (m_cancelled) {
            break;
        }
        FindOptions options;
        options.baseFolder = root;
        options.fileMask = "*.wad";
        options.subfolders = 1;
        options.optionFlags = FIND_ATTRIBUTES;
        options.fileAttributes = kAttributeArchive;
        options.oneFileSystem = true;
        m_finder.RemoveAll();
        m_finder.Find(options);
    }

    m_view.setSearching(false);
    m_searching = false;
    ShowScanStatus(std::nullopt);
}

void WadDirectoryEditor::cancelScan() {
    if (!m_searching || m_cancelled.exchange(true)) {
        return;
    }
    m_finder.StopSearch();
    m_messages.showMessage({kScanCanceled, "", MessageIcon::None});
    ShowScanStatus(std::nullopt);
}

void WadDirectoryEditor::stopScan() {
    m_cancelled = true;
    m_finder.StopSearch();
}

void WadDirectoryEditor::onFinderReport(FinderCode code) {
    // A cancel from another thread may land between two roots, after the
    // finder has cleared its stop request; it takes effect at the next report.
    if (m_cancelled) {
        m_finder.StopSearch();
    }
    if (code == FF_FOUND) {
        const std::string& folder = m_finder.GetSearchingFolder();
        if (!m_found.insert(folder).second) {
            return;
        }
        if (settingTextFits(folder, kMaxWadPath)) {
            const int row = m_view.insertRow(0, folder);
            const auto lock = lockSettings();
            AddWadDirectory(folder, row);
        }
    } else if (code == FF_FOLDER) {
        ShowScanStatus(m_finder.GetSearchingFolder());
    }
    if (m_progress) {
        m_progress();
    }
}

void WadDirectoryEditor::done() {
    bool firstRun = false;
    {
        const auto lock = lockSettings();
        firstRun = bv_firstrun > 0;
    }
    if (firstRun && m_sendMasterRequest) {
        m_sendMasterRequest();
    }
    BV_SaveConfig(m_messages, m_configLocation);
}

void WadDirectoryEditor::ShowScanStatus(const std::optional<std::string>& folder) {
    if (folder) {
        m_view.setStatus(*folder);
        return;
    }
    std::string text = kDirectoriesFound;
    text.replace(text.find("%d"), 2, std::to_string(m_view.rowCount()));
    m_view.setStatus(text);
}
