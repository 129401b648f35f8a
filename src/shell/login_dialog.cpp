#include "shell/login_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMetaObject>
#include <QPushButton>
#include <utility>

#include "accounts/account_texts.h"
#include "launch/config_file.h"
#include "launch/settings.h"
#include "shell/dialog_units.h"
#include "shell/latin1_text.h"
#include "shell/message_boxes.h"
#include "shell/pictures.h"
#include "shell/program_exit.h"
#include "shell/user_agreement_dialog.h"

namespace {

constexpr char kDeclinedAgreement[] =
    "Sorry, you have declined the user agreement.\n\nThis program will now close.";
constexpr char kSignupCaption[] = "New Account Signup";

}  // namespace

LoginDialog::LoginDialog(AccountService& accounts, MessageBoxes& boxes, std::filesystem::path configLocation,
                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint),
      m_accounts(accounts),
      m_boxes(boxes),
      m_configLocation(std::move(configLocation)) {
    setWindowTitle(QStringLiteral("Brumvek Player Login"));
    buildControls();
}

LoginDialog::~LoginDialog() = default;

void LoginDialog::buildControls() {
    const DialogUnits du(font());
    setFixedSize(du.size(225, 233));

    m_banner = new QLabel(this);
    du.place(*m_banner, 7, 7, 213, 111);
    m_banner->setPixmap(loginBanner(m_banner->size()));

    auto* frame = new QGroupBox(QStringLiteral("Login"), this);
    du.place(*frame, 15, 121, 195, 75);
    auto* userLabel = new QLabel(QStringLiteral("Username"), this);
    du.place(*userLabel, 21, 138, 56, 11);
    m_userBox = new QLineEdit(this);
    m_userBox->setObjectName(QStringLiteral("userName"));
    du.place(*m_userBox, 91, 137, 105, 12);
    auto* passwordLabel = new QLabel(QStringLiteral("Password"), this);
    du.place(*passwordLabel, 21, 162, 56, 11);
    m_passwordBox = new QLineEdit(this);
    m_passwordBox->setObjectName(QStringLiteral("password"));
    m_passwordBox->setEchoMode(QLineEdit::Password);
    du.place(*m_passwordBox, 91, 161, 105, 12);
    m_rememberBox = new QCheckBox(QStringLiteral("Remember Password."), this);
    m_rememberBox->setObjectName(QStringLiteral("remember"));
    du.place(*m_rememberBox, 23, 182, 84, 8);

    m_quitButton = du.button(*this, "&Quit", "quit", 7, 212, 50, 14);
    m_newAccountButton = du.button(*this, "&New Account", "newAccount", 109, 212, 50, 14);
    m_loginButton = du.button(*this, "&Login", "login", 168, 212, 50, 14, ButtonKind::Default);

    connect(m_quitButton, &QPushButton::clicked, this, &LoginDialog::quit);
    connect(m_newAccountButton, &QPushButton::clicked, this, &LoginDialog::newAccount);
    connect(m_loginButton, &QPushButton::clicked, this, &LoginDialog::logIn);
}

void LoginDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_initialised) {
        m_initialised = true;
        initialise();
    }
}

void LoginDialog::initialise() {
    BV_LoadConfig(m_configLocation);
    bool autoLogin = false;
    {
        const auto lock = lockSettings();
        m_remember = bv_rememberpassword != 0;
        if (m_remember) {
            m_userName = fromLatin1Text(bv_username);
            m_password = fromLatin1Text(bv_password);
        }
        autoLogin = bv_autologin == 1;
    }
    if (autoLogin) {
        startLogin(LoginRequestKind::LogIn);
    }
    showFields();
}

void LoginDialog::readFields() {
    m_userName = m_userBox->text();
    m_password = m_passwordBox->text();
    m_remember = m_rememberBox->isChecked();
}

void LoginDialog::showFields() {
    m_userBox->setText(m_userName);
    m_passwordBox->setText(m_password);
    m_rememberBox->setChecked(m_remember);
}

bool LoginDialog::checkFields() {
    const char* error = loginFieldsError(toLatin1Text(m_userName), toLatin1Text(m_password));
    if (error == nullptr) {
        return true;
    }
    m_boxes.showMessage({error, "", MessageIcon::None});
    return false;
}

void LoginDialog::logIn() {
    readFields();
    if (checkFields()) {
        startLogin(LoginRequestKind::LogIn);
    }
}

void LoginDialog::newAccount() {
    readFields();
    if (!checkFields()) {
        return;
    }
    UserAgreementDialog agreement(this);
    if (agreement.exec() != QDialog::Accepted) {
        m_boxes.showMessage({kDeclinedAgreement, kSignupCaption, MessageIcon::Stop});
        BV_SaveConfig(m_boxes, m_configLocation);
        finishThread();
        endProgram(kLoginGateExitCode);
    }
    startLogin(LoginRequestKind::CreateAccount);
}

void LoginDialog::quit() {
    BV_SaveConfig(m_boxes, m_configLocation);
    finishThread();
    endProgram(kLoginGateExitCode);
}

void LoginDialog::startLogin(LoginRequestKind kind) {
    // The credentials of the last attempt are kept whatever the outcome, so the
    // settings saved later hold them when Remember is ticked.
    bool firstRun = false;
    std::string user = toLatin1Text(m_userName);
    std::string password = toLatin1Text(m_password);
    {
        const auto lock = lockSettings();
        bv_rememberpassword = m_remember ? 1 : 0;
        bv_username = user;
        bv_password = password;
        firstRun = bv_firstrun > 0;
    }
    setButtonsEnabled(false);
    finishThread();
    m_thread = std::make_unique<LoginThread>(m_accounts, *this, kind, std::move(user), std::move(password),
                                             firstRun);
}

void LoginDialog::setButtonsEnabled(bool enabled) {
    m_newAccountButton->setEnabled(enabled);
    m_loginButton->setEnabled(enabled);
}

void LoginDialog::finishThread() {
    m_thread.reset();
}

void LoginDialog::loginSucceeded(const OwnAccount& /*account*/) {
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_accepted) {
                return;
            }
            m_accepted = true;
            finishThread();
            accept();
        },
        Qt::QueuedConnection);
}

void LoginDialog::loginFailed(std::string text) {
    QMetaObject::invokeMethod(
        this,
        [this, text = std::move(text)]() mutable {
            finishThread();
            m_boxes.showMessage({std::move(text), "", MessageIcon::None});
            setButtonsEnabled(true);
        },
        Qt::QueuedConnection);
}

void LoginDialog::versionRefused(std::string text) {
    QMetaObject::invokeMethod(
        this,
        [this, text = std::move(text)]() mutable {
            finishThread();
            m_boxes.showMessage({std::move(text), kVersionRefusalCaption, MessageIcon::Information});
            endProgram(kLoginGateExitCode);
        },
        Qt::QueuedConnection);
}

void LoginDialog::keyPressEvent(QKeyEvent* event) {
    // Escape never closes the gate.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void LoginDialog::closeEvent(QCloseEvent* event) {
    event->ignore();
}
