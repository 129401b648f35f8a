#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "accounts/account_records.h"
#include "browser/queued_message_view.h"

// What the account service reports to the dialogs. The shell implements these
// by queueing onto the UI thread; the core never waits for a dialog.

// The profile dialog to open for a PlayerProfileReply, with everything it reads
// as it opens.
struct ProfileShowing {
    PlayerProfile profile;
    bool ownProfile = false;  // the logged-in player's own profile
    int32_t levelFloor = 0;   // the level bar's range
    int32_t levelCeiling = 0;
    OwnAccount viewer;  // the logged-in player, already refreshed from an own profile
};

// The Recent Players dialog. Called on the receive thread (or an exchange's);
// must not block.
class RecentPlayersView {
  public:
    virtual ~RecentPlayersView() = default;
    // Puts the names into the list in this order and enables "&Look Up"; drops
    // them when the dialog is not open by the time they arrive.
    virtual void showRecentPlayers(std::vector<std::string> names) = 0;
};

// Opens the "Player Stats" dialog. Called on the receive thread (or an
// exchange's); must not block.
class ProfileView {
  public:
    virtual ~ProfileView() = default;
    virtual void showProfile(ProfileShowing showing) = 0;
};

// Yes/No questions. Called only on the UI thread, from the dialogs' commands,
// and may wait there for the answer.
class QuestionView {
  public:
    virtual ~QuestionView() = default;
    // Returns false when the user answers No.
    virtual bool confirm(std::string text, std::string caption) = 0;
};

// The views of the account service, owned by the caller; they outlive every
// core object given them.
struct AccountViews {
    RecentPlayersView& recentPlayers;
    ProfileView& profiles;
    QueuedMessageView& messages;
    QuestionView& questions;
};

// How a log-in exchange ends, told to the log-in dialog from the log-in thread.
// Exactly one call per exchange; must not block.
class LoginView {
  public:
    virtual ~LoginView() = default;
    // Closes the dialog with OK; `account` is already stored.
    virtual void loginSucceeded(const OwnAccount& account) = 0;
    // Shows `text` with the application's title and enables Login and New
    // Account again; the dialog stays open.
    virtual void loginFailed(std::string text) = 0;
    // Shows `text` with the caption "Error Time!" and the information icon; when
    // it is closed: NET_Shutdown() and end the process with code 10, unsaved.
    virtual void versionRefused(std::string text) = 0;
};

// How a profile update ends, told to the profile dialog from its update thread.
// Exactly one call per exchange; must not block.
class ProfileUpdateView {
  public:
    virtual ~ProfileUpdateView() = default;
    // Enables Update and closes the dialog with OK.
    virtual void profileUpdated() = 0;
    // Shows `text` with the application's title. With `mayRetry` Update is
    // enabled again; without it Update stays disabled and the dialog can only be
    // closed.
    virtual void profileUpdateFailed(std::string text, bool mayRetry) = 0;
};
