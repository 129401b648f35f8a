#pragma once

#include <QObject>
#include <QPointer>
#include <deque>
#include <string>
#include <vector>

#include "accounts/account_views.h"
#include "shell/message_boxes.h"
#include "shell/profile_dialog.h"
#include "shell/recent_players_dialog.h"

class AccountService;

// The account service's views in the program: what the receive thread and the
// exchanges report reaches the dialogs on the UI thread, and no report waits
// for the user. Profiles open one "Player Stats" dialog at a time, in the
// order they arrived.
class QtAccountViews final : public QObject, public RecentPlayersView, public ProfileView {
    Q_OBJECT

  public:
    // Create it on the UI thread; `boxes` must outlive it.
    explicit QtAccountViews(MessageBoxes& boxes, QObject* parent = nullptr);
    ~QtAccountViews() override;

    // The views to build the account service with.
    AccountViews views() { return {*this, *this, m_messages, m_boxes}; }

    // The service that profile dialogs send their updates through, and the
    // Recent Players dialog that replies fill; both must outlive this object.
    void attach(AccountService& service, RecentPlayersDialog* recentPlayers);

    // The profile dialog on screen, if any; for tests and the shell's shutdown.
    ProfileDialog* profileDialog() const { return m_profileDialog; }

    void showRecentPlayers(std::vector<std::string> names) override;
    void showProfile(ProfileShowing showing) override;

  private:
    void openNextProfile();

    MessageBoxes& m_boxes;
    QtQueuedMessageView m_messages;
    AccountService* m_service = nullptr;
    QPointer<RecentPlayersDialog> m_recentPlayers;
    QPointer<ProfileDialog> m_profileDialog;
    std::deque<ProfileShowing> m_pendingProfiles;
};
