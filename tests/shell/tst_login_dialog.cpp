// The log-in gate against pellrig-sim's account service on loopback: the
// checks and their order, each refusal with the dialog staying usable, the
// remembered credentials and automatic log-in from a settings file, sign-up
// through the user agreement, and the ways out that end the program.

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <memory>

#include "accounts/account_service.h"
#include "accounts/account_texts.h"
#include "launch/config_file.h"
#include "launch/settings.h"
#include "net/transport.h"
#include "shell/login_dialog.h"
#include "shell/qt_account_views.h"
#include "shell/user_agreement_dialog.h"
#include "shell_test_support.h"

namespace {

// Clicks a button of the modal dialog that opens next, once it is up.
void clickInNextModal(const char* button) {
    QTimer::singleShot(0, [button] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal != nullptr);
        auto* target = modal->findChild<QPushButton*>(QString::fromLatin1(button));
        QVERIFY(target != nullptr);
        target->click();
    });
}

}  // namespace

class LoginDialogTest : public QObject {
    Q_OBJECT

    LoginDialog& dialog();
    void type(const char* user, const char* password);
    QPushButton* button(const char* name) {
        return dialog().findChild<QPushButton*>(QString::fromLatin1(name));
    }

    std::unique_ptr<SimRunner> m_sim;
    std::unique_ptr<QTemporaryDir> m_dir;
    RecordingBoxes m_boxes;
    std::unique_ptr<QtAccountViews> m_ui;
    std::unique_ptr<AccountService> m_service;
    std::unique_ptr<LoginDialog> m_dialog;

  private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void checksComeInOrderAndSendNothing();
    void refusalsLeaveTheDialogUsable();
    void successEndsTheDialogOnceAndKeepsTheCredentials();
    void rememberedCredentialsLogInAutomatically();
    void automaticLogInWithNothingRememberedIsRefused();
    void signUpPassesThroughTheAgreement();
    void escapeAndCloseDoNothing();
    void waysOutEndTheProgramWithCode10();
};

void LoginDialogTest::initTestCase() {
    NET_Init({0, "127.0.0.1"});
    m_sim = std::make_unique<SimRunner>();
    QVERIFY(!m_sim->master().empty());
}

void LoginDialogTest::cleanupTestCase() {
    m_sim.reset();
    NET_Shutdown();
}

void LoginDialogTest::init() {
    resetSettings();
    m_boxes = {};
    m_dir = std::make_unique<QTemporaryDir>();
    m_ui = std::make_unique<QtAccountViews>(m_boxes);
    m_service = std::make_unique<AccountService>(m_ui->views(), AccountConfig{m_sim->master(), {}});
}

void LoginDialogTest::cleanup() {
    m_dialog.reset();
    m_service.reset();
    m_ui.reset();
}

LoginDialog& LoginDialogTest::dialog() {
    if (!m_dialog) {
        m_dialog = std::make_unique<LoginDialog>(*m_service, m_boxes, m_dir->path().toStdString());
        m_dialog->show();
    }
    return *m_dialog;
}

void LoginDialogTest::type(const char* user, const char* password) {
    auto* userBox = dialog().findChild<QLineEdit*>(QStringLiteral("userName"));
    auto* passwordBox = dialog().findChild<QLineEdit*>(QStringLiteral("password"));
    userBox->setText(QString::fromLatin1(user));
    passwordBox->setText(QString::fromLatin1(password));
}

void LoginDialogTest::checksComeInOrderAndSendNothing() {
    const struct {
        const char* user;
        const char* password;
        const char* message;
    } cases[] = {
        {"", "", kNoUserName},
        {"alice", "", kNoPassword},
        {"seventeen_letters", "", kNoPassword},
        {"seventeen_letters", "pw", kUserNameTooLong},
        {"alice", "seventeen_letters", kPasswordTooLong},
    };
    for (const auto& test : cases) {
        m_boxes.messages.clear();
        type(test.user, test.password);
        button("login")->click();
        QCOMPARE(m_boxes.texts(), std::vector<std::string>{test.message});
        QVERIFY(button("login")->isEnabled());
    }
    // Exactly sixteen characters go out; the master knows no such player.
    m_boxes.messages.clear();
    type("sixteen_letters!", "sixteen_letters!");
    button("login")->click();
    QVERIFY(!button("login")->isEnabled());
    QTRY_COMPARE(m_boxes.texts(), std::vector<std::string>{kNoSuchAccount});
}

void LoginDialogTest::refusalsLeaveTheDialogUsable() {
    type("alice", "wrong");
    button("login")->click();
    QVERIFY(!button("newAccount")->isEnabled());
    QVERIFY(button("quit")->isEnabled());
    QTRY_COMPARE(m_boxes.texts(), std::vector<std::string>{kBadPassword});
    QVERIFY(button("login")->isEnabled());
    QVERIFY(button("newAccount")->isEnabled());
    QCOMPARE(dialog().findChild<QLineEdit*>(QStringLiteral("userName"))->text(), QStringLiteral("alice"));
    QCOMPARE(dialog().findChild<QLineEdit*>(QStringLiteral("password"))->text(), QStringLiteral("wrong"));

    clickInNextModal("agree");
    button("newAccount")->click();
    QTRY_COMPARE(m_boxes.texts().size(), size_t{2});
    QCOMPARE(m_boxes.texts().back(), kAccountExists);
    QVERIFY(dialog().isVisible());
    QCOMPARE(dialog().result(), 0);
}

void LoginDialogTest::successEndsTheDialogOnceAndKeepsTheCredentials() {
    QSignalSpy accepted(&dialog(), &QDialog::accepted);
    dialog().findChild<QCheckBox*>(QStringLiteral("remember"))->setChecked(false);
    type("alice", "wonderland");
    QTest::keyClick(&dialog(), Qt::Key_Return);  // Enter presses Login
    QTRY_COMPARE(accepted.count(), 1);
    QTest::qWait(50);
    QCOMPARE(accepted.count(), 1);
    QVERIFY(m_boxes.messages.empty());
    QCOMPARE(m_service->ownAccount().experience, 1500);
    {
        const auto lock = lockSettings();
        QCOMPARE(bv_username, std::string("alice"));
        QCOMPARE(bv_rememberpassword, 0);
    }
    // Not remembered: the saved file holds no credentials.
    QVERIFY(BV_SaveConfig(m_boxes, m_dir->path().toStdString()));
    resetSettings();
    BV_LoadConfig(m_dir->path().toStdString());
    const auto lock = lockSettings();
    QCOMPARE(bv_username, std::string());
}

void LoginDialogTest::rememberedCredentialsLogInAutomatically() {
    {
        const auto lock = lockSettings();
        bv_rememberpassword = 1;
        bv_autologin = 1;
        bv_username = "alice";
        bv_password = "wonderland";
    }
    QVERIFY(BV_SaveConfig(m_boxes, m_dir->path().toStdString()));
    resetSettings();

    auto& shown = dialog();
    QSignalSpy accepted(&shown, &QDialog::accepted);
    QCOMPARE(shown.findChild<QLineEdit*>(QStringLiteral("userName"))->text(), QStringLiteral("alice"));
    QVERIFY(shown.findChild<QCheckBox*>(QStringLiteral("remember"))->isChecked());
    QVERIFY(!button("login")->isEnabled());  // already under way, no button pressed
    QTRY_COMPARE(accepted.count(), 1);
}

void LoginDialogTest::automaticLogInWithNothingRememberedIsRefused() {
    {
        const auto lock = lockSettings();
        bv_autologin = 1;
    }
    QVERIFY(BV_SaveConfig(m_boxes, m_dir->path().toStdString()));
    resetSettings();
    dialog();
    QTRY_COMPARE(m_boxes.texts(), std::vector<std::string>{kNoSuchAccount});
    QVERIFY(button("login")->isEnabled());
    QVERIFY(dialog().isVisible());
}

void LoginDialogTest::signUpPassesThroughTheAgreement() {
    const std::string text = userAgreementText();
    QVERIFY(text.starts_with("BRUMVEK END-USER AGREEMENT\r\n" + std::string(74, '-') +
                             "\r\n\r\nBrumvek is a simply"));
    QVERIFY(text.find("\r\n\r\n7. Old Accounts") != std::string::npos);
    QVERIFY(text.ends_with("\r\n\r\nFinally, above all have fun and happy fragging!\r\n\r\n"));

    QSignalSpy accepted(&dialog(), &QDialog::accepted);
    type("newcomer", "secret");
    clickInNextModal("agree");
    button("newAccount")->click();
    QTRY_COMPARE(accepted.count(), 1);
    QCOMPARE(m_service->credentials().user, std::string("newcomer"));
}

void LoginDialogTest::escapeAndCloseDoNothing() {
    QTest::keyClick(&dialog(), Qt::Key_Escape);
    QVERIFY(!dialog().close());
    QVERIFY(dialog().isVisible());
    QVERIFY(!(dialog().windowFlags() & Qt::WindowCloseButtonHint));

    // The agreement's default button and Escape both decline.
    UserAgreementDialog agreement;
    QSignalSpy rejected(&agreement, &QDialog::rejected);
    agreement.show();
    QTest::keyClick(&agreement, Qt::Key_Return);
    QCOMPARE(rejected.count(), 1);
    agreement.show();
    QTest::keyClick(&agreement, Qt::Key_Escape);
    QCOMPARE(rejected.count(), 2);
}

void LoginDialogTest::waysOutEndTheProgramWithCode10() {
    SimRunner refusing({QStringLiteral("--protocol-version"), QStringLiteral("999")});
    const struct {
        const char* action;
        std::string master;
        const char* box;
        bool saved;
    } cases[] = {
        {"quit", m_sim->master(), nullptr, true},
        {"decline", m_sim->master(), "New Account Signup|Sorry, you have declined the user agreement.", true},
        {"login", refusing.master(), "Error Time!|A newer version of Brumvek has been released.", false},
    };
    for (const auto& test : cases) {
        QTemporaryDir dir;
        QProcess child;
        child.start(QStringLiteral(PELLRIG_LOGIN_GATE_CHILD),
                    {QString::fromLatin1(test.action), QString::fromStdString(test.master), dir.path()});
        QVERIFY(child.waitForFinished(30000));
        QCOMPARE(child.exitCode(), 10);
        const QString output = QString::fromLatin1(child.readAllStandardOutput());
        if (test.box != nullptr) {
            QVERIFY2(output.contains(QString::fromLatin1(test.box)), qPrintable(output));
        }
        QCOMPARE(std::filesystem::exists(configFilePath(dir.path().toStdString())), test.saved);
    }
}

QTEST_MAIN(LoginDialogTest)
#include "tst_login_dialog.moc"
