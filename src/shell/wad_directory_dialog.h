#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QString>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
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
};

// "WAD Directory Setup": the user's WAD directories, edited by hand (Add,
// Remove) or replaced by an automatic scan (Auto). Made for one showing; it
// fills its list from wad_directories when constructed and closes only through
// Done, which saves the settings file. Escape and the close box act as Add.
//
// The scan runs on the UI thread inside the Auto click and processes pending
// events after every report of the finder, so the window stays responsive and
// a click on Cancel stops it. While it runs, only Cancel does anything.
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

  private:
    void buildControls();
    void add();
    void remove();
    void autoOrCancel();
    void finish();
    void showStatusNow(const std::string& text);

    // WadDirectoryView, all on the UI thread.
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
    bool m_searching = false;

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
};
