// The WAD Directory Setup dialog on a temporary tree holding the freedoom WADs:
// the list it opens with, Add and Remove by hand, the automatic scan on its
// worker with the window alive, its Cancel and its quiet stop when the dialog
// goes, and Done. The rules of the scan, of Add and Remove and of what Done
// saves are the editor's tests'; here only their joining to the window.

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

#include "launch/config_file.h"
#include "launch/settings.h"
#include "launch/wad_directory_editor.h"
#include "shell/wad_directory_dialog.h"
#include "shell_test_support.h"

namespace {

const QString kFreedoom1 = QStringLiteral(PELLRIG_HOST_ROOT "/usr/share/games/doom/freedoom1.wad");
const QString kFreedoom2 = QStringLiteral(PELLRIG_HOST_ROOT "/usr/share/games/doom/freedoom2.wad");
// A folder without WADs whose name is not ASCII.
const QString kOwnFolder = QStringLiteral(u"drive2/Jeux \u00e9");
// Generous: a loaded machine or Wine may be slow to walk the tree.
constexpr int kScanTimeoutMs = 60000;

// The settings hold paths as the file system's bytes.
std::vector<QString> directoryPaths() {
    const auto lock = lockSettings();
    std::vector<QString> paths;
    for (const WadDirectory& directory : wad_directories) {
        paths.push_back(QFile::decodeName(QByteArray::fromStdString(directory.path)));
    }
    return paths;
}

// A WAD in the tree: a POSIX link costs nothing, Windows programs know only
// shortcuts, so there it is a copy.
bool placeWad(const QString& wad, const QString& name) {
#ifdef _WIN32
    return QFile::copy(wad, name);
#else
    return QFile::link(wad, name);
#endif
}

// Holds the scan's worker at the first report after a folder was found, until
// the test opens the gate or the dialog stops the scan.
class ScanGate {
  public:
    // On the worker.
    void pass(const std::stop_token& stop) {
        if (directoryPaths().empty() || held.exchange(true)) {
            return;
        }
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, stop, [this] { return m_open; });
    }

    void open() {
        {
            const std::scoped_lock lock(m_mutex);
            m_open = true;
        }
        m_changed.notify_all();
    }

    std::atomic<bool> held = false;

  private:
    std::mutex m_mutex;
    std::condition_variable_any m_changed;
    bool m_open = false;
};

}  // namespace

class WadDirectoryDialogTest : public QObject {
    Q_OBJECT

    // A path in the tree as the platform writes it.
    QString path(const QString& relative) const {
        return QDir::toNativeSeparators(m_dir->path() + QLatin1Char('/') + relative);
    }
    QString path(const char* relative) const { return path(QString::fromLatin1(relative)); }
    WadDirectoryDialog& dialog();
    QPushButton* button(const char* name) { return child(&dialog(), name); }
    QTreeWidget* list() { return child<QTreeWidget>(&dialog(), "directories"); }
    QString status() { return child<QLineEdit>(&dialog(), "status")->text(); }
    std::vector<QString> rows() {
        std::vector<QString> result;
        for (int row = 0; row < list()->topLevelItemCount(); ++row) {
            result.push_back(list()->topLevelItem(row)->text(0));
        }
        return result;
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingBoxes m_boxes;
    QString m_chosen;  // what the folder browser answers
    int m_chooserCalls = 0;
    int m_masterRequests = 0;
    std::unique_ptr<ScanGate> m_gate;  // set before the dialog to hold its scans
    std::unique_ptr<WadDirectoryDialog> m_dialog;

  private slots:
    void init();
    void cleanup();

    void opensWithEachEntryAtItsListIndex();
    void addAndRemoveByHand();
    void scanOnItsWorkerMayBeCancelledThenRunsToItsEnd();
    void destroyingTheDialogStopsTheScanQuietly();
    void doneClosesTheDialogAndAsksForTheMasterList();
};

void WadDirectoryDialogTest::init() {
    resetSettings();
    m_boxes = {};
    m_chosen.clear();
    m_chooserCalls = 0;
    m_masterRequests = 0;
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(QFile::exists(kFreedoom1) && QFile::exists(kFreedoom2));

    // Two "drives": one with an IWAD folder holding a PWAD folder, one more.
    for (const QString& folder :
         {QStringLiteral("drive1/DOOM/PWADS"), QStringLiteral("drive2/MODS"), kOwnFolder}) {
        QVERIFY(QDir().mkpath(path(folder)));
    }
    QVERIFY(placeWad(kFreedoom2, path(QStringLiteral("drive1/DOOM/doom2.wad"))));
    QVERIFY(placeWad(kFreedoom1, path(QStringLiteral("drive1/DOOM/PWADS/a.wad"))));
    QVERIFY(placeWad(kFreedoom1, path(QStringLiteral("drive2/MODS/x.wad"))));
}

void WadDirectoryDialogTest::cleanup() {
    m_dialog.reset();
    m_gate.reset();
    m_dir.reset();
}

WadDirectoryDialog& WadDirectoryDialogTest::dialog() {
    if (!m_dialog) {
        WadDirectorySources sources;
        sources.chooseFolder = [this](QWidget*, const QString& title) {
            ++m_chooserCalls;
            return title == QStringLiteral("Choose a directory") ? m_chosen : QString();
        };
        sources.scanRoots = [this] {
            return std::vector<std::string>{QFile::encodeName(path(QStringLiteral("drive1"))).toStdString(),
                                            QFile::encodeName(path(QStringLiteral("drive2"))).toStdString()};
        };
        if (m_gate) {
            sources.afterFinderReport = [gate = m_gate.get()](const std::stop_token& stop) {
                gate->pass(stop);
            };
        }
        m_dialog = std::make_unique<WadDirectoryDialog>(
            m_boxes, [this] { ++m_masterRequests; }, m_dir->path().toStdString(), std::move(sources));
        m_dialog->show();
    }
    return *m_dialog;
}

void WadDirectoryDialogTest::opensWithEachEntryAtItsListIndex() {
    AddWadDirectory("C:\\LAST\\", 7);
    AddWadDirectory("C:\\OLD\\", 0);
    AddWadDirectory("C:\\NEW\\", 0);
    AddWadDirectory("C:\\NEG\\", -1);  // as a stored 65535 loads
    QCOMPARE(rows(), (std::vector<QString>{QStringLiteral("C:\\OLD\\"), QStringLiteral("C:\\NEW\\"),
                                           QStringLiteral("C:\\NEG\\"), QStringLiteral("C:\\LAST\\")}));
}

void WadDirectoryDialogTest::addAndRemoveByHand() {
    const QString doom = path("drive1/DOOM/");
    m_chosen = path("drive1/DOOM");
    button("add")->click();
    // Escape and the close box act as Add and leave the dialog open.
    const QString own = path(kOwnFolder + QLatin1Char('/'));
    m_chosen = own;
    QTest::keyClick(&dialog(), Qt::Key_Escape);
    QVERIFY(!dialog().close());
    QVERIFY(dialog().isVisible());
    QCOMPARE(m_chooserCalls, 3);
    QCOMPARE(rows(), (std::vector<QString>{own, own, doom}));

    // Remove takes the selected row, and leaves no row selected.
    list()->setCurrentItem(list()->topLevelItem(2));
    button("remove")->click();
    button("remove")->click();
    QCOMPARE(rows(), (std::vector<QString>{own, own}));
    QCOMPARE(directoryPaths(), (std::vector<QString>{own, own}));
}

void WadDirectoryDialogTest::scanOnItsWorkerMayBeCancelledThenRunsToItsEnd() {
    m_gate = std::make_unique<ScanGate>();
    button("auto")->click();
    QTRY_VERIFY_WITH_TIMEOUT(m_gate->held, kScanTimeoutMs);
    // While it runs, Auto reads Cancel, the other buttons wait and Escape adds nothing.
    QTRY_COMPARE(rows(), (std::vector<QString>{path("drive1/DOOM/PWADS/")}));
    QCOMPARE(button("auto")->text(), QStringLiteral("Cancel"));
    QVERIFY(!button("add")->isEnabled() && !button("remove")->isEnabled() && !button("done")->isEnabled());
    QVERIFY(status().startsWith(path("drive1/DOOM/")));
    QTest::keyClick(&dialog(), Qt::Key_Escape);
    QVERIFY(!dialog().close());
    QCOMPARE(m_chooserCalls, 0);

    button("auto")->click();
    m_gate->open();
    QTRY_COMPARE_WITH_TIMEOUT(button("auto")->text(), QStringLiteral("A&uto"), kScanTimeoutMs);
    QCOMPARE(m_boxes.messages, (std::vector<UserMessage>{{kScanCanceled, ""}}));
    QCOMPARE(rows(), (std::vector<QString>{path("drive1/DOOM/PWADS/")}));

    // Run to its end, a scan replaces the list with each WAD folder once.
    button("auto")->click();
    QTRY_COMPARE_WITH_TIMEOUT(button("auto")->text(), QStringLiteral("A&uto"), kScanTimeoutMs);
    QTRY_COMPARE(status(), QStringLiteral("3 potential WAD directories found"));
    QCOMPARE(rows(),
             (std::vector<QString>{path("drive2/MODS/"), path("drive1/DOOM/"), path("drive1/DOOM/PWADS/")}));
    QVERIFY(button("add")->isEnabled() && button("remove")->isEnabled() && button("done")->isEnabled());
    QCOMPARE(m_masterRequests, 0);
}

void WadDirectoryDialogTest::destroyingTheDialogStopsTheScanQuietly() {
    m_gate = std::make_unique<ScanGate>();
    button("auto")->click();
    QTRY_VERIFY_WITH_TIMEOUT(m_gate->held, kScanTimeoutMs);
    m_dialog.reset();
    QVERIFY(m_boxes.messages.empty());
    // The stop released the gate and ended the scan where it was held.
    QCOMPARE(directoryPaths(), (std::vector<QString>{path("drive1/DOOM/PWADS/")}));
}

void WadDirectoryDialogTest::doneClosesTheDialogAndAsksForTheMasterList() {
    // During the first run; a file that cannot be written (a folder is where it
    // belongs) is reported and the dialog still closes.
    QVERIFY(QDir().mkdir(path(kConfigFileName)));
    button("done")->click();
    QCOMPARE(m_masterRequests, 1);
    QCOMPARE(m_boxes.texts(), std::vector<std::string>{kUnableToCreateConfig});
    QVERIFY(!dialog().isVisible());
    QCOMPARE(dialog().result(), int{QDialog::Accepted});
}

QTEST_MAIN(WadDirectoryDialogTest)
#include "tst_wad_directory_dialog.moc"
