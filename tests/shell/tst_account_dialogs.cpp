// The account dialogs against pellrig-sim on loopback: the log-in gate and its
// ways out, Recent Players and Look Up, a player's and an administrator's
// profile updates and Delete, an update without an answer, and the controls
// and picture each profile gets.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <memory>
#include <optional>

#include "accounts/account_service.h"
#include "accounts/account_texts.h"
#include "browser/dispatcher.h"
#include "browser/memory_row_view.h"
#include "browser/receive_thread.h"
#include "browser/server_table.h"
#include "launch/config_file.h"
#include "launch/settings.h"
#include "net/transport.h"
#include "shell/login_dialog.h"
#include "shell/pictures.h"
#include "shell/profile_dialog.h"
#include "shell/qt_account_views.h"
#include "shell/recent_players_dialog.h"
#include "shell/text_progress_bar.h"
#include "shell/user_agreement_dialog.h"
#include "shell_test_support.h"

class AccountDialogsTest : public QObject {
    Q_OBJECT

    // The log-in dialog, shown at the first call, which reads the settings file.
    LoginDialog& login() {
        if (!m_login) {
            m_login = std::make_unique<LoginDialog>(*m_service, m_boxes, m_dir->path().toStdString());
            m_login->show();
        }
        return *m_login;
    }
    QPushButton* button(const char* name) { return child(&login(), name); }
    void type(const char* user, const char* password) {
        child<QLineEdit>(&login(), "userName")->setText(QString::fromLatin1(user));
        child<QLineEdit>(&login(), "password")->setText(QString::fromLatin1(password));
    }
    // Logs in, starts receiving, and opens the Recent Players dialog.
    void logInAndOpen(const char* user, const char* password);
    // Looks `name` up through the dialog and waits for its Player Stats; null
    // when none came.
    ProfileDialog* lookUp(const char* name);
    void closeProfile();

    std::unique_ptr<SimRunner> m_sim;
    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingBoxes m_boxes;
    MemoryQueuedMessageView m_browserMessages;
    MemoryRowView m_serverList;
    MemoryRowView m_playerList;
    std::unique_ptr<Dispatcher> m_dispatcher;
    std::unique_ptr<QtAccountViews> m_ui;
    std::unique_ptr<AccountService> m_service;
    std::unique_ptr<LoginDialog> m_login;
    std::unique_ptr<RecentPlayersDialog> m_recent;
    std::optional<ReceiveThread> m_receiver;

  private slots:
    void initTestCase() { NET_Init({0, "127.0.0.1"}); }
    void cleanupTestCase() { NET_Shutdown(); }
    void init();
    void cleanup();

    void logInRefusedThenAccepted();
    void rememberedCredentialsLogInAutomatically();
    void signUpPassesThroughTheAgreement();
    void waysOutEndTheProgramWithCode10();
    void playerLooksUpAndUpdatesTheBio();
    void administratorUpdatesAndDeletes();
    void updateWithoutAnAnswerMayBeTriedAgain();
    void controlsAndPictureFollowTheViewerAndRank();
};

void AccountDialogsTest::init() {
    resetSettings();
    m_boxes = {};
    m_dir = std::make_unique<QTemporaryDir>();
    {
        // Each test has a master of its own.
        const auto lock = lockBrowser();
        master_adr = {};
    }
    m_sim = std::make_unique<SimRunner>();
    QVERIFY(!m_sim->master().empty());
    m_dispatcher =
        std::make_unique<Dispatcher>(BrowserViews{m_serverList, m_playerList, m_browserMessages}, nullptr);
    m_ui = std::make_unique<QtAccountViews>(m_boxes);
    m_service = std::make_unique<AccountService>(m_ui->views(), AccountConfig{m_sim->master(), {}},
                                                 m_dispatcher.get());
    m_dispatcher->setAccountHandler(m_service.get());
    m_recent = std::make_unique<RecentPlayersDialog>(*m_service);
    m_ui->attach(*m_service, m_recent.get());
}

void AccountDialogsTest::cleanup() {
    // The threads stop first, whatever check failed.
    m_receiver.reset();
    m_login.reset();
    m_ui.reset();
    m_recent.reset();
    m_service.reset();
    m_dispatcher.reset();
    m_sim.reset();
}

void AccountDialogsTest::logInRefusedThenAccepted() {
    // Escape and the close box do nothing.
    QTest::keyClick(&login(), Qt::Key_Escape);
    QVERIFY(!login().close());
    QVERIFY(login().isVisible());
    QVERIFY(!(login().windowFlags() & Qt::WindowCloseButtonHint));

    // A field the core's checks refuse: the box at once, nothing sent.
    type("", "");
    button("login")->click();
    QCOMPARE(m_boxes.texts(), std::vector<std::string>{kNoUserName});
    QVERIFY(button("login")->isEnabled());

    // The master's refusal: the buttons wait for it, the typing stays.
    m_boxes.messages.clear();
    type("alice", "wrong");
    button("login")->click();
    QVERIFY(!button("login")->isEnabled() && !button("newAccount")->isEnabled());
    QVERIFY(button("quit")->isEnabled());
    QTRY_COMPARE(m_boxes.texts(), std::vector<std::string>{kBadPassword});
    QVERIFY(button("login")->isEnabled() && button("newAccount")->isEnabled());
    QCOMPARE(child<QLineEdit>(&login(), "password")->text(), QStringLiteral("wrong"));
    QVERIFY(login().isVisible());

    // Success, with Enter pressing Login.
    m_boxes.messages.clear();
    QSignalSpy accepted(&login(), &QDialog::accepted);
    child<QCheckBox>(&login(), "remember")->setChecked(false);
    type("alice", "wonderland");
    QTest::keyClick(&login(), Qt::Key_Return);
    QTRY_COMPARE(accepted.count(), 1);
    QVERIFY(m_boxes.messages.empty());
    const auto lock = lockSettings();
    QCOMPARE(bv_username, std::string("alice"));
    QCOMPARE(bv_rememberpassword, 0);
}

void AccountDialogsTest::rememberedCredentialsLogInAutomatically() {
    bv_autologin = 1;
    bv_rememberpassword = 1;
    bv_username = "alice";
    bv_password = "wonderland";
    QVERIFY(BV_SaveConfig(m_boxes, m_dir->path().toStdString()));
    resetSettings();

    QSignalSpy accepted(&login(), &QDialog::accepted);
    QCOMPARE(child<QLineEdit>(&login(), "userName")->text(), QStringLiteral("alice"));
    QVERIFY(child<QCheckBox>(&login(), "remember")->isChecked());
    QVERIFY(!button("login")->isEnabled());  // already under way, no button pressed
    QTRY_COMPARE(accepted.count(), 1);
}

void AccountDialogsTest::signUpPassesThroughTheAgreement() {
    // The agreement's default button declines; declining ends the program (below).
    UserAgreementDialog agreement;
    QSignalSpy rejected(&agreement, &QDialog::rejected);
    agreement.show();
    QTest::keyClick(&agreement, Qt::Key_Return);
    QCOMPARE(rejected.count(), 1);

    QSignalSpy accepted(&login(), &QDialog::accepted);
    type("newcomer", "secret");
    const ModalScript agree(
        {{agreement.windowTitle(), [](QWidget& modal) { child(&modal, "agree")->click(); }}});
    button("newAccount")->click();
    QTRY_COMPARE(accepted.count(), 1);
}

void AccountDialogsTest::waysOutEndTheProgramWithCode10() {
    SimRunner refusing({"--protocol-version", "999"});
    const struct {
        const char* action;
        std::string master;
        const char* box;
        bool saved;
    } cases[] = {
        {"quit", m_sim->master(), "", true},
        {"decline", m_sim->master(), "New Account Signup|Sorry, you have declined the user agreement.", true},
        {"login", refusing.master(), "Error Time!|A newer version", false},
    };
    for (const auto& test : cases) {
        QTemporaryDir dir;
        QProcess child;
        child.start(QStringLiteral(PELLRIG_LOGIN_GATE_CHILD),
                    {QString::fromLatin1(test.action), QString::fromStdString(test.master), dir.path()});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 10);
        const QString output = QString::fromLatin1(child.readAllStandardOutput());
        QVERIFY2(output.contains(QString::fromLatin1(test.box)), qPrintable(output));
        QCOMPARE(std::filesystem::exists(configFilePath(dir.path().toStdString())), test.saved);
    }
}

void AccountDialogsTest::logInAndOpen(const char* user, const char* password) {
    QCOMPARE(m_service->logIn(LoginRequestKind::LogIn, user, password, true).outcome, LoginOutcome::Accepted);
    m_receiver.emplace(*m_dispatcher);
    m_recent->show();
    QTRY_VERIFY(child(m_recent.get(), "lookUp")->isEnabled());
}

ProfileDialog* AccountDialogsTest::lookUp(const char* name) {
    child<QLineEdit>(m_recent.get(), "name")->setText(QString::fromLatin1(name));
    child(m_recent.get(), "lookUp")->click();
    const bool opened = QTest::qWaitFor([this] { return m_ui->profileDialog() != nullptr; }, 5000);
    return opened ? m_ui->profileDialog() : nullptr;
}

void AccountDialogsTest::closeProfile() {
    if (ProfileDialog* dialog = m_ui->profileDialog()) {
        child(dialog, "cancel")->click();
    }
    QTRY_VERIFY(m_ui->profileDialog() == nullptr);
}

void AccountDialogsTest::playerLooksUpAndUpdatesTheBio() {
    logInAndOpen("alice", "wonderland");
    auto* list = child<QListWidget>(m_recent.get(), "players");
    auto* nameBox = child<QLineEdit>(m_recent.get(), "name");
    // Newest log-in first, then the others in the order the master keeps them.
    QCOMPARE(list->count(), 4);
    QCOMPARE(list->item(0)->text(), QStringLiteral("alice"));
    QVERIFY(!child(m_recent.get(), "delete")->isEnabled());

    // Selecting fills the name box; a double click looks up exactly that name.
    list->setCurrentRow(1);
    QCOMPARE(nameBox->text(), list->item(1)->text());
    const QPoint first = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, first);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, first);
    QTRY_VERIFY(m_ui->profileDialog() != nullptr);
    ProfileDialog* own = m_ui->profileDialog();
    QCOMPARE(child<QLineEdit>(own, "name")->text(), QStringLiteral("alice"));

    // The own profile: the bio alone may change. Level 1 runs from 1000 to 2000.
    QVERIFY(!child<QComboBox>(own, "accountLevel")->isVisibleTo(own));
    QVERIFY(child<QLineEdit>(own, "experience")->isReadOnly());
    auto* bar = child<TextProgressBar>(own, "levelBar");
    QCOMPARE(bar->displayText(), QStringLiteral("Level 1"));
    QCOMPARE(bar->minimum(), 1000);
    QCOMPARE(bar->value(), 1500);
    QSignalSpy accepted(own, &QDialog::accepted);
    child<QPlainTextEdit>(own, "bio")->setPlainText(QStringLiteral("Down the rabbit hole."));
    child(own, "update")->click();
    QVERIFY(m_boxes.questions.empty());  // players are not asked
    QTRY_COMPARE(accepted.count(), 1);
    QTRY_VERIFY(m_ui->profileDialog() == nullptr);
    own = lookUp("ALICE");
    QVERIFY(own != nullptr);
    QCOMPARE(child<QPlainTextEdit>(own, "bio")->toPlainText(), QStringLiteral("Down the rabbit hole."));
    closeProfile();

    // The name box keeps its text into the next opening; the list starts anew.
    m_recent->accept();
    m_recent->show();
    QCOMPARE(nameBox->text(), QStringLiteral("ALICE"));
    QVERIFY(!child(m_recent.get(), "lookUp")->isEnabled());
    QTRY_COMPARE(list->count(), 4);
    QVERIFY(m_boxes.messages.empty());
}

void AccountDialogsTest::administratorUpdatesAndDeletes() {
    logInAndOpen("Gaffer", "loupgarou");
    ProfileDialog* imp = lookUp("imp");
    QVERIFY(imp != nullptr);
    // Cyb's profile arrives while imp's dialog is open; the edits stay imp's.
    child<QLineEdit>(m_recent.get(), "name")->setText(QStringLiteral("Cyb"));
    child(m_recent.get(), "lookUp")->click();
    QTRY_COMPARE(recordText(m_service->playerProfile().name), std::string("Cyb"));
    child<QLineEdit>(imp, "experience")->setText(QStringLiteral("2500"));
    child<QComboBox>(imp, "accountLevel")->setCurrentIndex(1);

    m_boxes.answers = {false};
    child(imp, "update")->click();
    QCOMPARE(m_boxes.questions.size(), size_t{1});
    QVERIFY(child(imp, "update")->isEnabled());  // No: nothing sent
    QSignalSpy accepted(imp, &QDialog::accepted);
    child(imp, "update")->click();
    QTRY_COMPARE(accepted.count(), 1);
    // Then Cyb's dialog.
    QTRY_VERIFY(m_ui->profileDialog() != nullptr &&
                child<QLineEdit>(m_ui->profileDialog(), "name")->text() == QStringLiteral("Cyb"));
    closeProfile();
    imp = lookUp("imp");
    QVERIFY(imp != nullptr);
    QCOMPARE(child<QLineEdit>(imp, "experience")->text(), QStringLiteral("2500"));
    QCOMPARE(child<QComboBox>(imp, "accountLevel")->currentIndex(), 1);
    QCOMPARE(child<QLabel>(imp, "level")->text(), QStringLiteral("2"));
    closeProfile();

    QVERIFY(child(m_recent.get(), "delete")->isEnabled());
    child(m_recent.get(), "delete")->click();
    QTRY_COMPARE(m_boxes.texts(), std::vector<std::string>{"imp's account deleted.\n"});
}

void AccountDialogsTest::updateWithoutAnAnswerMayBeTriedAgain() {
    // Nobody listens at the master's address.
    AccountService service(
        m_ui->views(),
        AccountConfig{"127.0.0.1:9", {std::chrono::milliseconds(300), std::chrono::milliseconds(50)}});
    ProfileShowing showing;
    copyText(showing.profile.name, "alice");
    showing.ownProfile = true;
    ProfileDialog dialog(service, m_boxes, showing);
    dialog.show();
    child(&dialog, "update")->click();
    QVERIFY(!child(&dialog, "update")->isEnabled());
    QTRY_COMPARE(m_boxes.texts(), std::vector<std::string>{kUpdateFailed});
    QVERIFY(child(&dialog, "update")->isEnabled());
    QVERIFY(dialog.isVisible());
}

void AccountDialogsTest::controlsAndPictureFollowTheViewerAndRank() {
    const struct {
        bool own;
        int32_t viewer;
        ProfileControls expected;
    } table[] = {
        {true, 1, {true, false, false, true, true}}, {false, 1, {true, false, false, false, false}},
        {true, 2, {true, false, true, true, true}},  {false, 2, {true, true, true, true, true}},
        {false, 9, {true, true, true, true, true}},
    };
    const auto fields = [](const ProfileControls& c) {
        return std::vector<bool>{c.levelVisible, c.levelEnabled, c.experienceEditable, c.bioEditable,
                                 c.updateEnabled};
    };
    for (const auto& row : table) {
        QCOMPARE(fields(profileControls(row.own, row.viewer)), fields(row.expected));
    }

    // The rank's picture unless a personal one (1 to 54) is chosen.
    QCOMPARE(profilePicturePath(0, 0), profilePicturePath(1, 0));
    QCOMPARE(profilePicturePath(7, 55), pictureResource(QStringLiteral(":/pictures/rank_7")));
    QCOMPARE(profilePicturePath(3, 1), pictureResource(QStringLiteral(":/pictures/avatar_01")));
    QCOMPARE(profilePicturePath(3, 54), pictureResource(QStringLiteral(":/pictures/avatar_54")));
    QVERIFY(profilePicturePath(8, 0).isEmpty() && profilePicturePath(-1, 0).isEmpty());
    for (int32_t rank = 0; rank <= 7; ++rank) {
        QCOMPARE(profilePicture(rank, 0).size(), kProfilePictureSize);
    }
    QCOMPARE(profilePicture(0, 54).size(), kProfilePictureSize);
}

QTEST_MAIN(AccountDialogsTest)
#include "tst_account_dialogs.moc"
