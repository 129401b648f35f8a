#pragma once

#include <atomic>
#include <string>
#include <thread>

#include "accounts/account_service.h"
#include "accounts/account_views.h"

// The two short-lived worker threads of the account dialogs. Each runs one
// exchange so that its dialog stays responsive, reports the end once, and is
// owned by an object whose destructor stops the wait and joins the thread (a
// stopped exchange reports nothing). The dialog disables the buttons that would
// start a second exchange before it starts one.

// The log-in dialog's exchange (log in or create an account).
class LoginThread {
  public:
    // `service` and `report` must outlive the thread. `firstRun`: the first
    // start's welcome flow, not the log-in, asks for the master list.
    LoginThread(AccountService& service, LoginView& report, LoginRequestKind kind, std::string user,
                std::string password, bool firstRun);
    LoginThread(const LoginThread&) = delete;
    LoginThread& operator=(const LoginThread&) = delete;

    // Whether the exchange has ended and been reported.
    bool finished() const { return m_finished.load(); }

  private:
    std::atomic<bool> m_finished{false};
    std::jthread m_thread;  // last: stops before the members it uses go
};

// The profile dialog's Update, after confirmProfileUpdate() has agreed.
class ProfileUpdateThread {
  public:
    // `shown` is the dialog's profile with the confirmed edits, `bio` the text of
    // its bio box.
    ProfileUpdateThread(AccountService& service, ProfileUpdateView& report, PlayerProfile shown,
                        std::string bio);
    ProfileUpdateThread(const ProfileUpdateThread&) = delete;
    ProfileUpdateThread& operator=(const ProfileUpdateThread&) = delete;

    bool finished() const { return m_finished.load(); }

  private:
    std::atomic<bool> m_finished{false};
    std::jthread m_thread;
};
