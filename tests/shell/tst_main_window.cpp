// The whole program in one process against pellrig-sim on loopback: the first
// and second start, a full browse with a stand-in game, the commands' gates,
// and a second copy ending at the bind of its port. Each test has a settings
// folder of its own, so the tests run in any order and alone.

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <algorithm>
#include <memory>

#include "browser/server_table.h"
#include "launch/config_file.h"
#include "launch/preferences.h"
#include "launch/settings.h"
#include "net/net_address.h"
#include "net/socket.h"
#include "shell/application.h"
#include "shell/main_window.h"
#include "shell/player_list_view.h"
#include "shell/server_list_view.h"
#include "shell_test_support.h"

namespace {

// Debian's Freedoom WADs, as the platform names their folder.
std::string freedoomFolder() {
    return QDir::toNativeSeparators(QStringLiteral(PELLRIG_HOST_ROOT "/usr/share/games/doom/")).toStdString();
}

QPoint rowCentre(QTreeWidget& list, int row) {
    return list.visualItemRect(list.topLevelItem(row)).center();
}

// Whether the list holds `count` rows, each with a ping.
bool pinged(const QTreeWidget& list, int count) {
    for (int row = 0; row < list.topLevelItemCount(); ++row) {
        if (list.topLevelItem(row)->text(6).isEmpty()) {
            return false;
        }
    }
    return list.topLevelItemCount() == count;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<SimRunner> m_sim;
    QTemporaryDir m_work;  // the game and the working directory
    std::unique_ptr<QTemporaryDir> m_settings;
    RecordingBoxes m_boxes;
    bool m_hiddenDuringLogin = false;
    QString m_welcomeLine;

    std::string settingsFolder() const { return m_settings->path().toStdString(); }

    // Saves the settings of a program that has run before, as `adjust` leaves
    // them, for start() to find.
    void saveSecondStart(const std::function<void()>& adjust) {
        bv_firstrun = 0;
        adjust();
        QVERIFY(BV_SaveConfig(m_boxes, settingsFolder()));
        resetSettings();
    }

    // Starts the program as it starts itself and logs in as alice. A welcome
    // dialog, if it comes up, is noted and cancelled.
    std::unique_ptr<Application> start() {
        ShellConfig config;
        config.net = {0, "127.0.0.1"};
        config.masterHost = m_sim->master();
        config.newsHost = "127.0.0.1:9";
        config.configLocation = settingsFolder();
        config.gameFolder = QDir::toNativeSeparators(m_work.path() + QLatin1Char('/')).toStdString();
        auto app = std::make_unique<Application>(config, m_boxes);
        const ModalScript script(
            {{QStringLiteral("Brumvek Player Login"),
              [this](QWidget& login) {
                  // The main window stays hidden behind the log-in.
                  auto* window = qobject_cast<MainWindow*>(login.parentWidget());
                  m_hiddenDuringLogin = window != nullptr && !window->isVisible();
                  child<QLineEdit>(&login, "userName")->setText(QStringLiteral("alice"));
                  child<QLineEdit>(&login, "password")->setText(QStringLiteral("wonderland"));
                  child(&login, "login")->click();
              }},
             {QStringLiteral("Welcome!"), [this](QWidget& welcome) {
                  m_welcomeLine = child<QLabel>(&welcome, "welcomeLine")->text();
                  child(&welcome, "cancel")->click();
              }}});
        return app->start() ? std::move(app) : nullptr;
    }

  private slots:
    void initTestCase();
    void init();
    void cleanupTestCase() { m_sim.reset(); }

    void firstStartShowsTheWelcome();
    void secondStartBrowsesAndLaunches();
    void commandsKeepTheirGates();
    void secondCopyEndsAtTheBind();
    void sortAndFilterAreKept();
    void favouritesAndReadyMarks();
};

void MainWindowTest::initTestCase() {
    // Two servers: Alpha with players, which counts for the statistics, and
    // Beta without.
    m_sim = std::make_unique<SimRunner>(std::vector<std::string>{"--scenario", PELLRIG_TWO_SERVERS_SCENARIO});
    QVERIFY(!m_sim->master().empty());

    // A stand-in game that records its arguments, one a line, in the working
    // directory, which the game shares with the program.
    QVERIFY(QDir::setCurrent(m_work.path()));
    const QString game = m_work.filePath(QStringLiteral("brumvekgl.exe"));
    QVERIFY(QFile::copy(QStringLiteral(PELLRIG_STAND_IN_GAME), game));
    QVERIFY(QFile::setPermissions(game,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
}

void MainWindowTest::init() {
    resetSettings();
    m_boxes = {};
    m_welcomeLine.clear();
    m_settings = std::make_unique<QTemporaryDir>();
    const auto lock = lockBrowser();
    master_adr = {};
    browser_ready = 0;
}

void MainWindowTest::firstStartShowsTheWelcome() {
    QFile damaged(m_settings->filePath(QString::fromLatin1(kPreferencesFileName)));
    QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write(R"({"fastRefresh": true)") > 0);
    damaged.close();
    auto app = start();
    QVERIFY(app != nullptr);
    MainWindow& window = *app->mainWindow();
    QVERIFY(m_hiddenDuringLogin);
    // The damaged pellrig.json: its message, and the defaults.
    const std::optional<UserMessage> message = loadPreferences(settingsFolder()).message;
    QVERIFY(message && std::count(m_boxes.messages.begin(), m_boxes.messages.end(), *message) == 1);
    QVERIFY(!child<QAction>(&window, "fastRefresh")->isChecked() && !window.sweeps().fast());
    QCOMPARE(m_welcomeLine, QStringLiteral("Welcome to Brumvek v1.04b alice!"));
    QVERIFY(window.isVisible());
    QVERIFY(!window.newsCheckStarted());
    // Cancel asked for the list.
    QTRY_COMPARE(window.serverList().topLevelItemCount(), 2);

    window.close();
    resetSettings();
    BV_LoadConfig(settingsFolder());
    const auto lock = lockSettings();
    QCOMPARE(bv_firstrun, 0);
}

void MainWindowTest::secondStartBrowsesAndLaunches() {
    saveSecondStart([] { QVERIFY(AddWadDirectory(freedoomFolder(), 0)); });
    QFile::remove(m_work.filePath(QStringLiteral("args.txt")));

    auto app = start();
    QVERIFY(app != nullptr);
    QVERIFY(m_welcomeLine.isEmpty());
    MainWindow& window = *app->mainWindow();
    QVERIFY(window.newsCheckStarted());
    // The log-in asked for the list; the sweep pings both servers.
    QTreeWidget& servers = window.serverList();
    QTRY_COMPARE(servers.topLevelItemCount(), 2);
    QTRY_VERIFY(!servers.topLevelItem(0)->text(6).isEmpty() && !servers.topLevelItem(1)->text(6).isEmpty());
    const int alphaRow = servers.topLevelItem(0)->text(0) == QStringLiteral("Alpha") ? 0 : 1;
    const int betaRow = 1 - alphaRow;
    QCOMPARE(servers.topLevelItem(alphaRow)->text(0), QStringLiteral("Alpha"));

    QTreeWidget& players = window.playerList();
    QTest::mouseClick(servers.viewport(), Qt::LeftButton, {}, rowCentre(servers, alphaRow));
    QTRY_COMPARE(players.topLevelItemCount(), 2);
    QCOMPARE(players.topLevelItem(0)->text(1), QStringLiteral("Cyb"));

    // Moving the selection with the keyboard leaves the players as they are.
    servers.setFocus();
    QTest::keyClick(&servers, alphaRow == 0 ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(servers.currentItem(), servers.topLevelItem(betaRow));
    QCOMPARE(players.topLevelItemCount(), 2);

    // A right click selects its row; a double click joins.
    QTest::mouseClick(servers.viewport(), Qt::RightButton, {}, rowCentre(servers, alphaRow));
    QVERIFY(servers.topLevelItem(alphaRow)->isSelected());
    QTest::mouseDClick(servers.viewport(), Qt::LeftButton, {}, rowCentre(servers, alphaRow));
    QFile file(m_work.filePath(QStringLiteral("args.txt")));
    QTRY_VERIFY(file.exists());
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList arguments =
        QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    // The pieces joined: the selected server, the WAD folder, the account.
    const std::optional<ServerRecord> selected = window.browser().GetSelectedServer();
    QVERIFY(selected.has_value());
    for (const std::string& joined :
         {std::string(selected->address), freedoomFolder() + "freedoom2.wad", std::string("alice")}) {
        QVERIFY2(arguments.contains(QString::fromStdString(joined)), joined.c_str());
    }
    QVERIFY(m_boxes.messages.size() <= 1);  // at most the news check's failure
}

void MainWindowTest::commandsKeepTheirGates() {
    // No news check, whose failure would come among the messages.
    saveSecondStart([] {
        bv_shownews = 0;
        bv_lastarticleno = 100;
        QVERIFY(AddWadDirectory(freedoomFolder(), 0));
    });
    auto app = start();
    QVERIFY(app != nullptr);
    MainWindow& window = *app->mainWindow();
    QTRY_COMPARE(window.serverList().topLevelItemCount(), 2);
    m_boxes.messages.clear();

    // Nothing selected.
    for (const char* command : {"detailedServerInfo", "enableStats", "refreshServer", "launchGame"}) {
        child<QAction>(&window, command)->trigger();
    }
    QTRY_COMPARE(m_boxes.texts(), (std::vector<std::string>{"Detailed Info: No server selected\n",
                                                            "No access", "Gotta select a server first."}));
    QVERIFY(!child<QAction>(&window, "statusBar")->isEnabled());

    // Automatic log-in: No changes nothing; Yes also remembers the password.
    m_boxes.messages.clear();
    m_boxes.answers = {false, true};
    for (int i = 0; i < 3; ++i) {
        child<QAction>(&window, "autoLogin")->trigger();
    }
    QCOMPARE(m_boxes.questions.size(), size_t{2});
    QCOMPARE(m_boxes.texts(), (std::vector<std::string>{"Auto-login enabled.", "Auto-login disabled."}));
    child<QAction>(&window, "checkNews")->trigger();
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        emit menu->aboutToShow();
    }
    QVERIFY(child<QAction>(&window, "checkNews")->isChecked());
    QVERIFY(!child<QAction>(&window, "autoLogin")->isChecked());
    {
        const auto lock = lockSettings();
        QCOMPARE(bv_rememberpassword, 1);
    }

    // Fast Refresh is saved at once, to pellrig.json only.
    m_boxes.messages.clear();
    const auto configWritten = std::filesystem::last_write_time(configFilePath(settingsFolder()));
    child<QAction>(&window, "fastRefresh")->trigger();
    QVERIFY(child<QAction>(&window, "fastRefresh")->isChecked() && window.sweeps().fast());
    QVERIFY(loadPreferences(settingsFolder()).preferences.fastRefresh);
    QVERIFY(std::filesystem::last_write_time(configFilePath(settingsFolder())) == configWritten);
    QVERIFY(m_boxes.messages.empty());

    // The diagnostic hot keys.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    m_boxes.messages.clear();
    QTest::keyClick(&window, Qt::Key_F1, Qt::ControlModifier);
    QTest::keyClick(&window, Qt::Key_F2, Qt::ControlModifier);
    const std::vector<UserMessage> diagnostics{{"bv_autologin=0\nbv_shownews=1\nbv_lastarticleno=100", ""},
                                               {"wad paths", ""},
                                               {freedoomFolder(), ""}};
    QCOMPARE(m_boxes.messages, diagnostics);

    bool customQuery = false;
    const ModalScript custom({{QStringLiteral("Custom Server Query"), [&customQuery](QWidget& dialog) {
                                   customQuery = true;
                                   qobject_cast<QDialog*>(&dialog)->reject();
                               }}});
    child<QAction>(&window, "customServer")->trigger();
    QVERIFY(customQuery);

    m_boxes.messages.clear();
    child<QAction>(&window, "exit")->trigger();
    QVERIFY(!window.isVisible());
    QVERIFY(m_boxes.messages.empty());
    QVERIFY(std::filesystem::exists(configFilePath(settingsFolder())));
}

void MainWindowTest::secondCopyEndsAtTheBind() {
    // The port is held on every interface, as a running copy holds it.
    UdpSocket held;
    NetAddress bound;
    QVERIFY(held.open() && held.bind(NetAddress{}) && held.localAddress(bound));
    QProcess copy;
    copy.setWorkingDirectory(m_settings->path());
    copy.start(QStringLiteral(PELLRIG_PATH),
               {QStringLiteral("--port"), QString::number(NET_Port(bound)), QStringLiteral("--master"),
                QString::fromStdString(m_sim->master())});
    QVERIFY(copy.waitForFinished(30000));
    QCOMPARE(copy.exitCode() & 0xff, 246);  // -10, of which POSIX keeps the low byte
}

// Both lists sorted, the filter bar and the title; the next start comes up as
// this one was left.
void MainWindowTest::sortAndFilterAreKept() {
    saveSecondStart([] { bv_shownews = 0; });
    auto app = start();
    QVERIFY(app != nullptr);
    MainWindow* window = app->mainWindow();
    QTreeWidget& servers = window->serverList();
    QTRY_VERIFY(servers.topLevelItemCount() == 2 && !servers.topLevelItem(0)->text(6).isEmpty() &&
                !servers.topLevelItem(1)->text(6).isEmpty());
    clickHeading(servers, 0);
    clickHeading(servers, 0);
    QCOMPARE(servers.topLevelItem(0)->text(0), QStringLiteral("Beta"));
    QTest::mouseClick(servers.viewport(), Qt::LeftButton, {}, rowCentre(servers, 1));
    QTRY_COMPARE(window->playerList().topLevelItemCount(), 2);
    clickHeading(window->playerList(), 1);
    QCOMPARE(window->playerList().topLevelItem(0)->text(1), QStringLiteral("Bot"));

    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window, Qt::Key_F, Qt::ControlModifier);
    auto* text = child<QLineEdit>(window, "filterText");
    QVERIFY(text->isVisible() && text->hasFocus());
    QTest::keyClicks(text, QStringLiteral("cyb"));  // a player of Alpha
    QCOMPARE(child<QTabWidget>(window, "tabs")->tabText(0), QStringLiteral("1 of 2 servers"));
    window->close();
    app.reset();

    resetSettings();
    browser_ready = 0;
    app = start();
    QVERIFY(app != nullptr);
    window = app->mainWindow();
    const QHeaderView& header = *window->serverList().header();
    QVERIFY(header.isSortIndicatorShown() && header.sortIndicatorSection() == 0 &&
            header.sortIndicatorOrder() == Qt::DescendingOrder);
    QCOMPARE(window->playerList().header()->sortIndicatorSection(), 1);
    text = child<QLineEdit>(window, "filterText");
    QVERIFY(text->isVisible() && text->text() == QStringLiteral("cyb"));
    const QTabWidget* tabs = child<QTabWidget>(window, "tabs");
    QTRY_COMPARE(tabs->tabText(0), QStringLiteral("1 of 2 servers"));

    // Escape clears the bar and hides it.
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    text->setFocus();
    QTest::keyClick(text, Qt::Key_Escape);
    QVERIFY(!text->isVisible() && text->text().isEmpty());
    QCOMPARE(window->serverList().shownRowCount(), 2);
    QCOMPARE(tabs->tabText(0), QStringLiteral("Server Browser"));
    QVERIFY(!loadPreferences(settingsFolder()).preferences.filterBarShown);
}

// A favourite added by a right click is starred, kept in pellrig.json and, at
// the next start, listed first with one the master does not list; the Wads
// cells follow the WAD directories.
void MainWindowTest::favouritesAndReadyMarks() {
    const SimRunner other({"--scenario", PELLRIG_TWO_SERVERS_SCENARIO});
    QTemporaryDir wads;  // Alpha's IWAD only
    QVERIFY(QFile(wads.filePath(QStringLiteral("freedoom2.wad"))).open(QIODevice::WriteOnly));
    saveSecondStart([&wads] {
        bv_shownews = 0;
        QVERIFY(AddWadDirectory(QDir::toNativeSeparators(wads.path() + QLatin1Char('/')).toStdString(), 0));
    });
    auto app = start();
    QVERIFY(app != nullptr);
    QTreeWidget* servers = &app->mainWindow()->serverList();
    const auto row = [&servers](const char16_t* text) {
        return servers->indexOfTopLevelItem(
            servers->findItems(QString::fromUtf16(text), Qt::MatchExactly).value(0));
    };
    QTRY_VERIFY(pinged(*servers, 2));
    const int beta = row(u"Beta");
    QTest::mouseClick(servers->viewport(), Qt::RightButton, {}, rowCentre(*servers, beta));
    QVERIFY(child<QMenu>(app->mainWindow(), "serverMenu")->isVisible());
    child<QAction>(app->mainWindow(), "favourite")->trigger();
    QCOMPARE(row(u"\u2605 Beta"), beta);
    clickHeading(*servers, 6);
    app.reset();

    Preferences preferences = loadPreferences(settingsFolder()).preferences;
    QCOMPARE(preferences.favourites, std::vector{m_sim->servers().at(1)});
    preferences.favourites.push_back(other.servers().at(0));
    QVERIFY(savePreferences(preferences, m_boxes, settingsFolder()));
    resetSettings();
    browser_ready = 0;
    app = start();
    QVERIFY(app != nullptr);
    MainWindow* window = app->mainWindow();
    servers = &window->serverList();
    QTRY_VERIFY(pinged(*servers, 3));
    QCOMPARE(row(u"Alpha"), 2);  // after both favourites, sorted
    const auto betaTip = [&] { return servers->topLevelItem(row(u"\u2605 Beta"))->toolTip(5); };
    QCOMPARE(betaTip(), QStringLiteral("Missing: freedoom1.wad"));
    {
        const auto lock = lockSettings();
        QVERIFY(AddWadDirectory(freedoomFolder(), 0));
    }
    const ModalScript done(
        {{QStringLiteral("WAD Directory Setup"), [](QWidget& dialog) { child(&dialog, "done")->click(); }}});
    child<QAction>(window, "wadDirectories")->trigger();
    QCOMPARE(betaTip(), QStringLiteral("You have every WAD this server needs."));

    // The Server menu takes Beta out again.
    servers->setCurrentItem(servers->topLevelItem(row(u"\u2605 Beta")));
    for (QMenu* menu : window->findChildren<QMenu*>()) {
        emit menu->aboutToShow();
    }
    QCOMPARE(child<QAction>(window, "favourite")->text(), QStringLiteral("Remove from Favourites"));
    child<QAction>(window, "favourite")->trigger();
    QVERIFY(row(u"\u2605 Beta") < 0 && row(u"\u2605 Alpha") == 0);
    QCOMPARE(loadPreferences(settingsFolder()).preferences.favourites, std::vector{other.servers().at(0)});
}

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
