// The whole program in one process against pellrig-sim on loopback: the first
// and second start, a full browse with a stand-in game, the commands' gates
// and messages, and a second copy ending at the bind of its port.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <functional>
#include <memory>
#include <vector>

#include "browser/server_table.h"
#include "launch/config_file.h"
#include "launch/settings.h"
#include "net/net_address.h"
#include "net/socket.h"
#include "shell/application.h"
#include "shell/main_window.h"
#include "shell/player_list_view.h"
#include "shell/server_list_view.h"
#include "shell_test_support.h"

namespace {

// Answers the modal dialogs that open, one after another, by their titles.
class ModalScript {
  public:
    struct Step {
        QString title;
        std::function<void(QWidget&)> act;
    };

    explicit ModalScript(std::vector<Step> steps) : m_steps(std::move(steps)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(20);
    }

    std::vector<QString> seen;  // the titles of every modal dialog that came up

  private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr || modal == m_last) {
            return;
        }
        m_last = modal;
        seen.push_back(modal->windowTitle());
        if (m_next < m_steps.size() && modal->windowTitle() == m_steps[m_next].title) {
            m_steps[m_next++].act(*modal);
        }
    }

    std::vector<Step> m_steps;
    size_t m_next = 0;
    QWidget* m_last = nullptr;
    QTimer m_timer;
};

// Debian's Freedoom WADs, as the platform names their folder.
std::string freedoomFolder() {
    return QDir::toNativeSeparators(QStringLiteral(PELLRIG_HOST_ROOT "/usr/share/games/doom/")).toStdString();
}

// A menu or toolbar command of the window.
QAction* action(MainWindow& window, const char* name) {
    QAction* found = window.findChild<QAction*>(QString::fromLatin1(name));
    if (found == nullptr) {
        qFatal("no action %s", name);
    }
    return found;
}

QPushButton* buttonWithText(QWidget& dialog, const QString& text) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

void clickAt(QTreeWidget& list, int row, Qt::MouseButton button) {
    const QPoint where = list.visualItemRect(list.topLevelItem(row)).center();
    QTest::mouseClick(list.viewport(), button, {}, where);
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<SimRunner> m_sim;
    QTemporaryDir m_work;
    RecordingBoxes m_boxes;

    ShellConfig config() const {
        ShellConfig config;
        config.net = {0, "127.0.0.1"};
        config.masterHost = m_sim->master();
        config.newsHost = "127.0.0.1:9";
        config.configLocation = m_work.path().toStdString();
        config.gameFolder = QDir::toNativeSeparators(m_work.path() + QLatin1Char('/')).toStdString();
        return config;
    }

    // Starts the program as it starts itself and logs in as alice. `welcome`
    // answers the welcome dialog if it comes up.
    std::unique_ptr<Application> start(ModalScript::Step welcome) {
        auto app = std::make_unique<Application>(config(), m_boxes);
        ModalScript script(
            {{QStringLiteral("Brumvek Player Login"),
              [this](QWidget& login) {
                  // The main window stays hidden behind the log-in.
                  auto* window = qobject_cast<MainWindow*>(login.parentWidget());
                  m_hiddenDuringLogin = window != nullptr && !window->isVisible();
                  login.findChild<QLineEdit*>(QStringLiteral("userName"))->setText(QStringLiteral("alice"));
                  login.findChild<QLineEdit*>(QStringLiteral("password"))
                      ->setText(QStringLiteral("wonderland"));
                  login.findChild<QPushButton*>(QStringLiteral("login"))->click();
              }},
             std::move(welcome)});
        const bool started = app->start();
        m_seen = script.seen;
        return started ? std::move(app) : nullptr;
    }

    std::vector<QString> m_seen;
    bool m_hiddenDuringLogin = false;

  private slots:
    void initTestCase();
    void init();
    void firstStartShowsTheWelcomeAndNoNews();
    void secondStartBrowsesAndLaunches();
    void commandsKeepTheirGates();
    void secondCopyEndsAtTheBind();
    void cleanupTestCase() { m_sim.reset(); }
};

void MainWindowTest::initTestCase() {
    // Two servers: Alpha with players, which counts for the statistics, and
    // Beta without.
    m_sim = std::make_unique<SimRunner>(
        QStringList{QStringLiteral("--scenario"), QStringLiteral(PELLRIG_TWO_SERVERS_SCENARIO)});
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
    const auto lock = lockBrowser();
    master_adr = {};
    browser_ready = 0;
}

void MainWindowTest::firstStartShowsTheWelcomeAndNoNews() {
    QVERIFY(!std::filesystem::exists(configFilePath(m_work.path().toStdString())));
    QString welcomeText;
    auto app = start({QStringLiteral("Welcome!"), [&welcomeText](QWidget& welcome) {
                          for (const QLabel* label : welcome.findChildren<QLabel*>()) {
                              welcomeText += label->text() + QLatin1Char('\n');
                          }
                          buttonWithText(welcome, QStringLiteral("&Cancel"))->click();
                      }});
    QVERIFY(app != nullptr);
    MainWindow& window = *app->mainWindow();
    QVERIFY(m_hiddenDuringLogin);
    QVERIFY2(welcomeText.contains(QStringLiteral("Welcome to Brumvek v1.04b alice!")),
             qPrintable(welcomeText));
    QCOMPARE(window.windowTitle(), QStringLiteral("Brumvek Game Browser v1.04b"));
    QVERIFY(window.isVisible());
    QVERIFY(!window.newsCheckStarted());
    // Cancel asked for the list.
    QTRY_COMPARE(window.serverList().topLevelItemCount(), 2);

    window.close();
    resetSettings();
    BV_LoadConfig(m_work.path().toStdString());
    const auto lock = lockSettings();
    QCOMPARE(bv_firstrun, 0);
}

void MainWindowTest::secondStartBrowsesAndLaunches() {
    BV_LoadConfig(m_work.path().toStdString());
    QVERIFY(AddWadDirectory(freedoomFolder(), 0));
    QVERIFY(BV_SaveConfig(m_boxes, m_work.path().toStdString()));
    resetSettings();

    auto app = start({QStringLiteral("Welcome!"), [](QWidget& welcome) {
                          QFAIL("no welcome on the second start");
                          welcome.close();
                      }});
    QVERIFY(app != nullptr);
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
    clickAt(servers, alphaRow, Qt::LeftButton);
    QTRY_COMPARE(players.topLevelItemCount(), 2);
    QCOMPARE(players.topLevelItem(0)->text(1), QStringLiteral("Cyb"));
    QCOMPARE(players.topLevelItem(0)->text(0), QStringLiteral("3"));
    QCOMPARE(players.topLevelItem(1)->text(0), QString());  // ping 0: no level shown

    // Moving the selection with the keyboard leaves the players as they are.
    servers.setFocus();
    QTest::keyClick(&servers, alphaRow == 0 ? Qt::Key_Down : Qt::Key_Up);
    QCOMPARE(servers.currentItem(), servers.topLevelItem(betaRow));
    QTest::qWait(100);
    QCOMPARE(players.topLevelItemCount(), 2);

    // A right click selects its row and refreshes it; a double click joins.
    clickAt(servers, alphaRow, Qt::RightButton);
    QCOMPARE(servers.currentItem(), servers.topLevelItem(alphaRow));
    QVERIFY(servers.topLevelItem(alphaRow)->isSelected());
    const QPoint alpha = servers.visualItemRect(servers.topLevelItem(alphaRow)).center();
    QTest::mouseDClick(servers.viewport(), Qt::LeftButton, {}, alpha);
    const QString recorded = m_work.filePath(QStringLiteral("args.txt"));
    QTRY_VERIFY(QFile::exists(recorded));
    QFile file(recorded);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QStringList arguments =
        QString::fromLatin1(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    const std::optional<ServerRecord> selected = window.browser().GetSelectedServer();
    QVERIFY(selected.has_value());
    QCOMPARE(arguments, (QStringList{QStringLiteral("-connect"), QString::fromLatin1(selected->address),
                                     QStringLiteral("-llevel"), QStringLiteral("1"), QStringLiteral("-iwad"),
                                     QString::fromStdString(freedoomFolder() + "freedoom2.wad"),
                                     QStringLiteral("+name"), QStringLiteral("alice")}));
    QVERIFY(m_boxes.messages.empty() || m_boxes.messages.size() == 1);  // at most the news check's failure
}

void MainWindowTest::commandsKeepTheirGates() {
    // No news check, whose failure would come among the messages.
    BV_LoadConfig(m_work.path().toStdString());
    bv_shownews = 0;
    QVERIFY(BV_SaveConfig(m_boxes, m_work.path().toStdString()));
    resetSettings();

    auto app = start({});
    QVERIFY(app != nullptr);
    MainWindow& window = *app->mainWindow();
    QTRY_COMPARE(window.serverList().topLevelItemCount(), 2);
    m_boxes.messages.clear();

    // Nothing selected.
    action(window, "detailedServerInfo")->trigger();
    action(window, "enableStats")->trigger();
    action(window, "refreshServer")->trigger();
    action(window, "launchGame")->trigger();
    QTRY_COMPARE(m_boxes.texts(), (std::vector<std::string>{"Detailed Info: No server selected\n",
                                                            "No access", "Gotta select a server first."}));
    QVERIFY(!action(window, "statusBar")->isEnabled());

    // Automatic log-in: No changes nothing; Yes also remembers the password.
    m_boxes.messages.clear();
    m_boxes.answers = {false, true};
    action(window, "autoLogin")->trigger();
    {
        const auto lock = lockSettings();
        QCOMPARE(bv_autologin, 0);
    }
    action(window, "autoLogin")->trigger();
    action(window, "autoLogin")->trigger();
    QCOMPARE(m_boxes.questions.size(), size_t{2});
    QCOMPARE(m_boxes.texts(), (std::vector<std::string>{"Auto-login enabled.", "Auto-login disabled."}));
    {
        const auto lock = lockSettings();
        QCOMPARE(bv_autologin, 0);
        QCOMPARE(bv_rememberpassword, 1);
        QCOMPARE(bv_shownews, 0);
    }
    action(window, "checkNews")->trigger();
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        if (menu->title() == QStringLiteral("Preferences")) {
            emit menu->aboutToShow();
        }
    }
    QVERIFY(action(window, "checkNews")->isChecked());
    QVERIFY(!action(window, "autoLogin")->isChecked());

    // The diagnostic hot key shows the settings as they are now.
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    m_boxes.messages.clear();
    QTest::keyClick(&window, Qt::Key_F1, Qt::ControlModifier);
    QCOMPARE(m_boxes.texts(), std::vector<std::string>{"bv_autologin=0\nbv_shownews=1\nbv_lastarticleno=0"});

    // The toolbar: seven buttons, three separators, the tooltips.
    QCOMPARE(window.toolBar().actions().size(), 10);
    QCOMPARE(action(window, "queryMaster")->toolTip(), QStringLiteral("Resets the server list."));

    // The custom server query opens with its port preset.
    QString port;
    ModalScript custom({{QStringLiteral("Custom Server Query"), [&port](QWidget& dialog) {
                             for (const QLineEdit* box : dialog.findChildren<QLineEdit*>()) {
                                 port += box->text();
                             }
                             qobject_cast<QDialog*>(&dialog)->reject();
                         }}});
    action(window, "customServer")->trigger();
    QCOMPARE(port, QStringLiteral("10666"));

    m_boxes.messages.clear();
    action(window, "exit")->trigger();
    QVERIFY(!window.isVisible());
    QVERIFY(m_boxes.messages.empty());
    QVERIFY(std::filesystem::exists(configFilePath(m_work.path().toStdString())));
}

void MainWindowTest::secondCopyEndsAtTheBind() {
    // The port is held on every interface, as a running copy holds it.
    UdpSocket held;
    NetAddress bound;
    QVERIFY(held.open());
    QVERIFY(held.bind(NetAddress{}));
    QVERIFY(held.localAddress(bound));
    QProcess copy;
    copy.setProcessChannelMode(QProcess::MergedChannels);
    copy.setWorkingDirectory(m_work.path());
    copy.start(QStringLiteral(PELLRIG_PATH),
               {QStringLiteral("--port"), QString::number(NET_Port(bound)), QStringLiteral("--master"),
                QString::fromStdString(m_sim->master())});
    QVERIFY(copy.waitForFinished(30000));
    QCOMPARE(copy.exitCode() & 0xff, 246);  // -10, of which POSIX keeps the low byte
    // Windows ends the printed lines with CR LF.
    QVERIFY(copy.readAll().replace("\r\n", "\n").contains("FATAL ERROR\n---------------------\n"));
}

QTEST_MAIN(MainWindowTest)
#include "tst_main_window.moc"
