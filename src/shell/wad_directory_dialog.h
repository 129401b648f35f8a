#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <atomic>
#include <filesystem>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "launch/drives.h"
#include "launch/wad_directory_editor.h"

class MessageBoxes;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// Asks the user for a folder; an empty text when the user cancels.
using FolderChooser = std::function<QString(QWidget* owner, const QString& title)>;

// The platform's folder browser, showing folders only.
QString browseForFolder(QWidget* owner, const QString& title);

// Where the dialog gets its folders from: the folder browser for Add and the
// local fixed disks for Auto unless a test gives others.
struct WadDirectorySources {
    FolderChooser chooseFolder = browseForFolder;
    std::function<std::vector<std::string>()> scanRoots = fixedDriveRoots;
    // Called on the scan's worker after each report of the finder, with the
    // token that tells when the dialog stops the scan: tests hold the scan here.
    std::function<void(const std::stop_token&)> afterFinderReport;
};

// "WAD Directory Setup": the user's WAD directories, edited by hand (Add,
// Remove) or replaced by an automatic scan (Auto). Made for one showing; it
// fills its list from wad_directories when constructed and closes only through
// Done, which saves the settings file. Escape and the close box act as Add.
//
// The scan runs on a worker thread that queues its changes of the list, the
// status and the buttons onto the UI thread, so the window stays responsive and
// a click on Cancel stops it. While it runs, only Cancel does anything; a
// dialog that goes away during a scan stops it without a message.
class WadDirectoryDialog final : public QDialog, private WadDirectoryView {
    Q_OBJECT

  public:
    // `sendMasterRequest` is called by Done during the first run; the dialog
    // saves to `configLocation` (see configFilePath). `boxes` must outlive it.
    WadDirectoryDialog(MessageBoxes& boxes, std::function<void()> sendMasterRequest,
                       std::filesystem::path configLocation = {}, WadDirectorySources sources = {},
                       QWidget* parent = nullptr);

    // Escape and the close box: Add, unless a scan runs.
    void reject() override;

  signals:
    // The WAD directories may differ now: a scan ended, or Done was clicked.
    void directoriesChanged();

  private:
    void buildControls();
    void add();
    void remove();
    void autoOrCancel();
    void runScan(const std::stop_token& stop);
    void finish();

    // Runs `change` at once on the UI thread; from the worker, queues it there.
    void onUiThread(std::function<void()> change);
    void insertItem(int row, const std::string& path);
    void removeItem(int row);
    void showStatus(const std::string& text);
    void showStatusNow(const std::string& text);
    void showSearching(bool searching);

    // WadDirectoryView. The scan's calls come from the worker; selectedRow and
    // rowText serve Remove, on the UI thread only.
    int insertRow(int position, const std::string& path) override;
    void removeRow(int row) override;
    void clearRows() override;
    int rowCount() const override;
    std::optional<int> selectedRow() const override;
    std::string rowText(int row) const override;
    void setStatus(const std::string& text) override;
    void setSearching(bool searching) override;

    WadDirectorySources m_sources;
    WadDirectoryEditor m_editor;
    // The rows as the view's callers made them; the list lags behind while the
    // worker's changes wait in the queue.
    std::atomic<int> m_rowCount{0};

    // During a scan the status follows the folders at a pace a reader can
    // follow; repainting it for every folder would slow a whole-disk scan.
    std::string m_pendingStatus;
    QElapsedTimer m_statusShown;
    QTimer m_statusTimer;

    QTreeWidget* m_list = nullptr;
    QLineEdit* m_status = nullptr;
    QPushButton* m_addButton = nullptr;
    QPushButton* m_removeButton = nullptr;
    QPushButton* m_autoButton = nullptr;
    QPushButton* m_doneButton = nullptr;

    // Joinable from the Auto click until the scan's end reaches the UI thread.
    // Last, so that going away stops the scan and joins before the members it
    // uses go.
    std::jthread m_worker;
};
