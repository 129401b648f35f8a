#pragma once

#include <QDialog>
#include <QString>
#include <filesystem>
#include <memory>
#include <string>

#include "accounts/account_service.h"
#include "accounts/account_threads.h"
#include "accounts/account_views.h"

class MessageBoxes;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "Brumvek Player Login": the gate that nobody passes without an account. It
// loads the settings file when it first shows, logs in at once when automatic
// log-in is on, and ends with OK exactly once, after the master server has
// accepted a log-in or a new account. Every other way out ends the program.
class LoginDialog final : public QDialog, public LoginView {
    Q_OBJECT

  public:
    // `configLocation` names the settings file as BV_LoadConfig takes it. Every
    // reference must outlive the dialog.
    LoginDialog(AccountService& accounts, MessageBoxes& boxes, std::filesystem::path configLocation,
                QWidget* parent = nullptr);
    ~LoginDialog() override;

    // LoginView, from the log-in thread: each result is carried out on the UI
    // thread.
    void loginSucceeded(const OwnAccount& account) override;
    void loginFailed(std::string text) override;
    void versionRefused(std::string text) override;

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void buildControls();
    void initialise();
    void readFields();
    void showFields();
    // The first check the fields fail, shown in a box; false when there was one.
    bool checkFields();
    void logIn();
    void newAccount();
    void quit();
    void startLogin(LoginRequestKind kind);
    void setButtonsEnabled(bool enabled);
    void finishThread();

    AccountService& m_accounts;
    MessageBoxes& m_boxes;
    std::filesystem::path m_configLocation;

    // The fields, exchanged with the controls.
    QString m_userName;
    QString m_password;
    bool m_remember = false;

    QLabel* m_banner = nullptr;
    QLineEdit* m_userBox = nullptr;
    QLineEdit* m_passwordBox = nullptr;
    QCheckBox* m_rememberBox = nullptr;
    QPushButton* m_quitButton = nullptr;
    QPushButton* m_newAccountButton = nullptr;
    QPushButton* m_loginButton = nullptr;

    bool m_initialised = false;
    bool m_accepted = false;
    std::unique_ptr<LoginThread> m_thread;
};
