// Shows each dialog with example contents and saves a picture of it:
// `dialog-screenshots OUTPUT_DIR [--master HOST:PORT [--wad-site URL]]`. The
// dialogs get their contents as the network would give them. With a master
// server (the simulator), the program itself also starts, logs in by itself,
// and the main window is pictured with its full list, beside the dialogs it
// opens, and once more sorted, filtered, with a favourite and the WAD marks.
// With a WAD site (one that serves pellrig-demo.wad slowly), the download
// dialog is pictured while it fetches.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <cstdio>
#include <string>

#include "accounts/account_service.h"
#include "browser/server_table.h"
#include "launch/config_file.h"
#include "launch/settings.h"
#include "launch/unattended_settings.h"
#include "net/transport.h"
#include "shell/application.h"
#include "shell/detailed_info_dialog.h"
#include "shell/login_dialog.h"
#include "shell/qt_account_views.h"
#include "shell/server_list_view.h"
#include "shell/user_agreement_dialog.h"
#ifdef PELLRIG_WAD_FETCH
#include "shell/wad_download_dialog.h"
#endif
#include "shell/wad_directory_dialog.h"
#include "shell/welcome_dialog.h"

namespace {

// The program against `master` on loopback, its settings in `folder`.
ShellConfig programConfig(const std::string& master, const QTemporaryDir& folder) {
    ShellConfig config;
    config.net = {0, "127.0.0.1"};
    config.masterHost = master;
    config.configLocation = folder.path().toStdString();
    return config;
}

bool save(QWidget& dialog, const QDir& out, const char* name) {
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog)) {
        return false;
    }
    QTest::qWait(200);
    const QString path = out.filePath(QString::fromLatin1(name));
    if (!dialog.grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(path));
    return true;
}

ProfileShowing exampleProfile() {
    ProfileShowing showing;
    copyText(showing.profile.name, "Cyb");
    copyText(showing.profile.bio, "Rockets first, questions later.");
    showing.profile.rank = 1;
    showing.profile.highestRank = 1;
    showing.profile.level = 7;
    showing.profile.experience = 7300;
    showing.profile.accountLevel = 1;
    showing.profile.rankPicture = 7;
    showing.levelFloor = 7000;
    showing.levelCeiling = 8000;
    showing.viewer.accountLevel = kAdministratorLevel;
    return showing;
}

// Waits until every server of the list has been pinged; false, with a
// message, when that takes too long.
bool waitForSweep(const ServerListView& servers) {
    const bool swept = QTest::qWaitFor(
        [&servers] {
            const int rows = servers.topLevelItemCount();
            for (int row = 0; row < rows; ++row) {
                if (servers.topLevelItem(row)->text(6).isEmpty()) {
                    return false;
                }
            }
            return rows > 0;
        },
        30000);
    if (!swept) {
        std::fprintf(stderr, "the server list did not fill\n");
    }
    return swept;
}

int playersOf(const ServerListView& servers, int row) {
    return servers.topLevelItem(row)->text(1).section(QLatin1Char('/'), 0, 0).toInt();
}

}  // namespace

// The program against `master`: the main window once every server has been
// pinged, Detailed Server Info, the welcome and the WAD Directory Setup
// during a scan.
bool saveProgram(const QDir& out, const std::string& master) {
    QTemporaryDir work;
    PrintedMessageBoxes boxes(false);
    writeUnattendedSettings(work.path().toStdString(), "alice", "wonderland", boxes);

    Application program(programConfig(master, work), boxes);
    if (!program.start()) {
        return false;
    }
    MainWindow& window = *program.mainWindow();
    ServerListView& servers = window.serverList();
    if (!waitForSweep(servers)) {
        return false;
    }
    // The busiest server, selected with its players shown.
    const auto players = [&servers](int row) { return playersOf(servers, row); };
    int busiest = 0;
    for (int row = 0; row < servers.topLevelItemCount(); ++row) {
        busiest = players(row) > players(busiest) ? row : busiest;
    }
    servers.setCurrentItem(servers.topLevelItem(busiest));
    window.browser().ShowSelectedPlayers();
    window.resize(1000, 700);
    bool ok = save(window, out, "main-window.png");

    DetailedInfoDialog info(*window.browser().GetSelectedServer(), &window);
    ok = save(info, out, "detailed-info.png") && ok;
    WelcomeDialog welcome("alice", {}, &window);
    ok = save(welcome, out, "welcome.png") && ok;

    WadDirectorySources sources;
    sources.scanRoots = [] { return std::vector<std::string>{"/usr/share/games", "/usr/lib"}; };
    WadDirectoryDialog wads(boxes, {}, work.path().toStdString(), sources, &window);
    wads.show();
    QTest::qWait(200);
    auto* scan = wads.findChild<QPushButton*>(QStringLiteral("auto"));
    bool pictured = false;
    QTimer::singleShot(400, [&] {
        ok = save(wads, out, "wad-directories.png") && ok;
        pictured = true;
        scan->click();  // Cancel
    });
    scan->click();
    // The picture and the end of the scan come while the dialog still lives.
    ok = QTest::qWaitFor([&] { return pictured && scan->text() == QStringLiteral("A&uto"); }, 30000) && ok;
    window.close();
    return ok;
}

// The program again, its WAD directory holding Freedoom's second IWAD under
// its own name and as Doom II's: sorted by ping with a click on the heading, a
// server with players kept as a favourite through its right-click menu, and
// the filter bar hiding the empty servers.
bool saveSortedProgram(const QDir& out, const std::string& master) {
    QTemporaryDir work;
    QTemporaryDir wads;
    for (const char* name : {"doom2.wad", "freedoom2.wad"}) {
        QFile::link(QStringLiteral("/usr/share/games/doom/freedoom2.wad"),
                    wads.filePath(QString::fromLatin1(name)));
    }
    PrintedMessageBoxes boxes(false);
    resetSettings();
    {
        const auto lock = lockSettings();
        AddWadDirectory(wads.path().toStdString() + "/", 0);
    }
    BV_SaveConfig(boxes, work.path().toStdString());
    writeUnattendedSettings(work.path().toStdString(), "alice", "wonderland", boxes);
    {
        const auto lock = lockBrowser();
        master_adr = {};
        browser_ready = 0;
    }

    Application program(programConfig(master, work), boxes);
    if (!program.start()) {
        return false;
    }
    MainWindow& window = *program.mainWindow();
    ServerListView& servers = window.serverList();
    window.resize(1000, 700);
    if (!waitForSweep(servers)) {
        return false;
    }
    QHeaderView& header = *servers.header();
    QTest::mouseClick(header.viewport(), Qt::LeftButton, {},
                      {header.sectionViewportPosition(6) + header.sectionSize(6) / 2, header.height() / 2});
    // The slowest server with players, on the screen.
    int favourite = -1;
    for (int row = 0; row < servers.topLevelItemCount() && row < 12; ++row) {
        favourite = playersOf(servers, row) > 0 ? row : favourite;
    }
    if (favourite < 0) {
        std::fprintf(stderr, "no server with players\n");
        return false;
    }
    QTreeWidgetItem* item = servers.topLevelItem(favourite);
    QTest::mouseClick(servers.viewport(), Qt::RightButton, {}, servers.visualItemRect(item).center());
    auto* menu = window.findChild<QMenu*>(QStringLiteral("serverMenu"));
    auto* keep = window.findChild<QAction*>(QStringLiteral("favourite"));
    if (menu == nullptr || keep == nullptr || !menu->isVisible()) {
        std::fprintf(stderr, "no server menu\n");
        return false;
    }
    keep->trigger();
    menu->hide();
    window.browser().ShowSelectedPlayers();
    window.findChild<QAction*>(QStringLiteral("filterBar"))->trigger();
    window.findChild<QCheckBox*>(QStringLiteral("hideEmpty"))->setChecked(true);
    // The right click asked the server again.
    if (!waitForSweep(servers)) {
        return false;
    }
    const bool ok = save(window, out, "main-window-sorted.png");
    window.close();
    return ok;
}

#ifdef PELLRIG_WAD_FETCH
// The download dialog a second or so into fetching from `site`; cancelled then.
bool saveDownload(const QDir& out, const std::string& site) {
    QTemporaryDir folder;
    WadDownloadDialog dialog({"pellrig-demo.wad"}, {site}, folder.path().toStdString());
    dialog.show();
    QTest::qWait(1500);
    const bool ok = save(dialog, out, "wad-download.png");
    dialog.reject();
    return QTest::qWaitFor([&dialog] { return !dialog.isVisible(); }, 10000) && ok;
}
#endif

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const bool withProgram = (argc == 4 || argc == 6) && std::string(argv[2]) == "--master";
    const bool withSite = argc == 6 && std::string(argv[4]) == "--wad-site";
    if (argc != 2 && !withProgram && !withSite) {
        std::fprintf(stderr, "usage: dialog-screenshots OUTPUT_DIR [--master HOST:PORT [--wad-site URL]]\n");
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[1]));
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    NET_Init({0, "127.0.0.1"});
    QtMessageBoxes boxes;
    QtAccountViews ui(boxes);
    AccountService service(ui.views(), AccountConfig{"127.0.0.1:9", {}});

    QTemporaryDir settings;
    bv_rememberpassword = 1;
    bv_username = "alice";
    bv_password = "wonderland";
    BV_SaveConfig(boxes, settings.path().toStdString());
    LoginDialog login(service, boxes, settings.path().toStdString());
    bool ok = save(login, out, "login.png");
    login.hide();

    UserAgreementDialog agreement;
    ok = save(agreement, out, "agreement.png") && ok;

    RecentPlayersDialog recent(service);
    recent.show();
    recent.showRecentPlayers({"alice", "Cyb", "Gaffer", "imp", "Doomguy", "Tallyho"});
    recent.findChild<QListWidget*>()->setCurrentRow(1);
    ok = save(recent, out, "recent-players.png") && ok;

    ProfileShowing showing = exampleProfile();
    ProfileDialog other(service, boxes, showing);
    ok = save(other, out, "player-stats.png") && ok;

    copyText(showing.profile.name, "alice");
    copyText(showing.profile.bio, "Down the rabbit hole.");
    showing.profile.level = 1;
    showing.profile.experience = 1500;
    showing.profile.accountLevel = 0;
    showing.profile.avatar = 12;
    showing.levelFloor = 1000;
    showing.levelCeiling = 2000;
    showing.ownProfile = true;
    showing.viewer.accountLevel = 0;
    ProfileDialog own(service, boxes, showing);
    ok = save(own, out, "player-stats-own.png") && ok;

    NET_Shutdown();
    if (withProgram) {
        ok = saveProgram(out, argv[3]) && ok;
        ok = saveSortedProgram(out, argv[3]) && ok;
    }
#ifdef PELLRIG_WAD_FETCH
    if (withSite) {
        ok = saveDownload(out, argv[5]) && ok;
    }
#endif
    return ok ? 0 : 1;
}
