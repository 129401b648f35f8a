#include "shell/wad_directory_dialog.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>
#include <QTreeWidget>
#include <algorithm>
#include <utility>

#include "shell/dialog_units.h"
#include "shell/message_boxes.h"

namespace {

constexpr int kDirectoryColumnWidth = 440;  // pixels
constexpr int kStatusIntervalMs = 50;

// Paths are kept as the bytes the file system uses; only their display is
// decoded, so a row gives back exactly the path it was given.
QString displayPath(const std::string& path) {
    return QFile::decodeName(QByteArray::fromStdString(path));
}

}  // namespace

QString browseForFolder(QWidget* owner, const QString& title) {
    return QFileDialog::getExistingDirectory(owner, title, QString(), QFileDialog::ShowDirsOnly);
}

WadDirectoryDialog::WadDirectoryDialog(MessageBoxes& boxes, std::function<void()> sendMasterRequest,
                                       std::filesystem::path configLocation, WadDirectorySources sources,
                                       QWidget* parent)
    : QDialog(parent),
      m_sources(std::move(sources)),
      m_editor(*this, boxes, std::move(sendMasterRequest), std::move(configLocation)) {
    setWindowTitle(QStringLiteral("WAD Directory Setup"));
    buildControls();
    m_statusTimer.setSingleShot(true);
    connect(&m_statusTimer, &QTimer::timeout, this, [this] { showStatusNow(m_pendingStatus); });
    m_editor.open();
}

void WadDirectoryDialog::buildControls() {
    const DialogUnits du(font());
    setFixedSize(du.size(274, 194));

    auto* explanation =
        new QLabel(QStringLiteral("Click the Add or Remove button to add and remove directories "
                                  "manually. Or, click the 'Auto' button and let the Pellrig "
                                  "scan your system for you."),
                   this);
    explanation->setWordWrap(true);
    du.place(*explanation, 7, 7, 260, 18);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("directories"));
    m_list->setHeaderLabels({QStringLiteral("Directory")});
    m_list->header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_list->header()->setStretchLastSection(false);
    m_list->setColumnWidth(0, kDirectoryColumnWidth);
    m_list->setRootIsDecorated(false);
    m_list->setItemsExpandable(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    du.place(*m_list, 7, 28, 260, 122);

    m_status = new QLineEdit(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setReadOnly(true);
    m_status->setAlignment(Qt::AlignHCenter);
    du.place(*m_status, 7, 154, 260, 12);

    m_addButton = du.button(*this, "&Add", "add", 7, 173, 50, 14);
    m_removeButton = du.button(*this, "&Remove", "remove", 61, 173, 50, 14);
    m_autoButton = du.button(*this, "A&uto", "auto", 115, 173, 50, 14);
    m_doneButton = du.button(*this, "&Done", "done", 217, 173, 50, 14, ButtonKind::Default);

    connect(m_addButton, &QPushButton::clicked, this, &WadDirectoryDialog::add);
    connect(m_removeButton, &QPushButton::clicked, this, &WadDirectoryDialog::remove);
    connect(m_autoButton, &QPushButton::clicked, this, &WadDirectoryDialog::autoOrCancel);
    connect(m_doneButton, &QPushButton::clicked, this, &WadDirectoryDialog::finish);
}

void WadDirectoryDialog::reject() {
    // Unlike the buttons, Escape and the close box are not disabled by a scan.
    if (!m_worker.joinable()) {
        add();
    }
}

void WadDirectoryDialog::add() {
    const QString folder = m_sources.chooseFolder(this, QStringLiteral("Choose a directory"));
    if (folder.isEmpty()) {
        return;
    }
    // The browser answers with '/' everywhere; a share must read \\server to be
    // refused, and the entry must hold the bytes the file system knows.
    m_editor.add(QFile::encodeName(QDir::toNativeSeparators(folder)).toStdString());
}

void WadDirectoryDialog::remove() {
    m_editor.removeSelected();
}

void WadDirectoryDialog::autoOrCancel() {
    if (m_worker.joinable()) {
        m_editor.cancelScan();
        return;
    }
    // The buttons change with the click rather than when the scan's own call
    // arrives, so that nothing but Cancel acts from the click on.
    showSearching(true);
    m_worker = std::jthread([this](const std::stop_token& stop) { runScan(stop); });
}

// On the worker.
void WadDirectoryDialog::runScan(const std::stop_token& stop) {
    m_editor.setProgressHandler([this, stop] {
        if (m_sources.afterFinderReport) {
            m_sources.afterFinderReport(stop);
        }
        if (stop.stop_requested()) {
            m_editor.stopScan();
        }
    });
    m_editor.scan(m_sources.scanRoots());
}

void WadDirectoryDialog::finish() {
    m_editor.done();
    emit directoriesChanged();
    accept();
}

void WadDirectoryDialog::onUiThread(std::function<void()> change) {
    if (QThread::currentThread() == thread()) {
        change();
        return;
    }
    QMetaObject::invokeMethod(this, std::move(change), Qt::QueuedConnection);
}

int WadDirectoryDialog::insertRow(int position, const std::string& path) {
    // One thread at a time changes the rows: the worker during a scan, the UI
    // thread otherwise.
    const int row = std::clamp(position, 0, m_rowCount.load());
    ++m_rowCount;
    onUiThread([this, row, path] { insertItem(row, path); });
    return row;
}

void WadDirectoryDialog::insertItem(int row, const std::string& path) {
    auto* item = new QTreeWidgetItem({displayPath(path)});
    item->setData(0, Qt::UserRole, QByteArray::fromStdString(path));
    m_list->insertTopLevelItem(row, item);
}

void WadDirectoryDialog::removeRow(int row) {
    if (row < 0 || row >= m_rowCount) {
        return;
    }
    --m_rowCount;
    onUiThread([this, row] { removeItem(row); });
}

void WadDirectoryDialog::removeItem(int row) {
    delete m_list->takeTopLevelItem(row);
    // The view would select a neighbour; a second Remove must not take it.
    m_list->clearSelection();
}

void WadDirectoryDialog::clearRows() {
    m_rowCount = 0;
    onUiThread([this] { m_list->clear(); });
}

int WadDirectoryDialog::rowCount() const {
    return m_rowCount;
}

std::optional<int> WadDirectoryDialog::selectedRow() const {
    QTreeWidgetItem* item = m_list->currentItem();
    if (item == nullptr || !item->isSelected()) {
        return std::nullopt;
    }
    return m_list->indexOfTopLevelItem(item);
}

std::string WadDirectoryDialog::rowText(int row) const {
    const QTreeWidgetItem* item = m_list->topLevelItem(row);
    return item != nullptr ? item->data(0, Qt::UserRole).toByteArray().toStdString() : std::string();
}

void WadDirectoryDialog::setStatus(const std::string& text) {
    onUiThread([this, text] { showStatus(text); });
}

void WadDirectoryDialog::showStatus(const std::string& text) {
    if (!m_worker.joinable() || !m_statusShown.isValid() || m_statusShown.elapsed() >= kStatusIntervalMs) {
        showStatusNow(text);
        return;
    }
    m_pendingStatus = text;
    if (!m_statusTimer.isActive()) {
        m_statusTimer.start(kStatusIntervalMs - static_cast<int>(m_statusShown.elapsed()));
    }
}

void WadDirectoryDialog::showStatusNow(const std::string& text) {
    m_statusTimer.stop();
    m_status->setText(displayPath(text));
    m_statusShown.start();
}

void WadDirectoryDialog::setSearching(bool searching) {
    onUiThread([this, searching] { showSearching(searching); });
}

void WadDirectoryDialog::showSearching(bool searching) {
    const bool scanEnded = !searching && m_worker.joinable();
    if (scanEnded) {
        // The scan's end: the worker has only the final count left to queue.
        m_worker.join();
    }
    m_statusTimer.stop();
    m_statusShown.invalidate();
    m_autoButton->setText(searching ? QStringLiteral("Cancel") : QStringLiteral("A&uto"));
    m_addButton->setEnabled(!searching);
    m_removeButton->setEnabled(!searching);
    m_doneButton->setEnabled(!searching);
    if (scanEnded) {
        emit directoriesChanged();
    }
}
