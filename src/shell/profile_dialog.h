#pragma once

#include <QDialog>
#include <QPixmap>
#include <memory>
#include <string>

#include "accounts/account_threads.h"
#include "accounts/account_views.h"

class AccountService;
class MessageBoxes;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class TextProgressBar;

// Which of the profile dialog's controls the viewer may see and change: by
// whose profile it is and the viewer's account level.
struct ProfileControls {
    bool levelVisible = true;  // the account level label and list
    bool levelEnabled = true;
    bool experienceEditable = true;
    bool bioEditable = true;
    bool updateEnabled = true;
};
ProfileControls profileControls(bool ownProfile, int32_t viewerLevel);

// "Player Stats": one profile as the master server sent it, with its picture
// and level bar. Update sends the bio, or for an administrator the whole
// administrator's form, on a worker thread; Cancel, Escape and the close box
// close it without sending anything, Enter closes it with OK.
class ProfileDialog final : public QDialog, public ProfileUpdateView {
    Q_OBJECT

  public:
    // `accounts` and `boxes` must outlive the dialog.
    ProfileDialog(AccountService& accounts, MessageBoxes& boxes, const ProfileShowing& showing,
                  QWidget* parent = nullptr);
    ~ProfileDialog() override;

    // ProfileUpdateView, from the update thread; carried out on the UI thread.
    void profileUpdated() override;
    void profileUpdateFailed(std::string text, bool mayRetry) override;

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void buildControls();
    void showProfile(const ProfileShowing& showing);
    void sendUpdate();

    AccountService& m_accounts;
    MessageBoxes& m_boxes;
    PlayerProfile m_profile;  // the player this dialog shows and updates
    QPixmap m_picture;

    QLineEdit* m_name = nullptr;
    QPlainTextEdit* m_bio = nullptr;
    QLineEdit* m_experience = nullptr;
    QLabel* m_levelLabel = nullptr;
    QComboBox* m_accountLevel = nullptr;
    TextProgressBar* m_levelBar = nullptr;
    QLabel* m_levelText = nullptr;
    QLabel* m_nextLevelText = nullptr;
    QLineEdit* m_rank = nullptr;
    QLineEdit* m_highestRank = nullptr;
    QPushButton* m_updateButton = nullptr;

    std::unique_ptr<ProfileUpdateThread> m_thread;
};
