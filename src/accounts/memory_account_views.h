#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "accounts/account_views.h"
#include "browser/queued_message_view.h"

// The account service's views kept in memory, for tests and the command-line
// tool: everything shown is recorded in order, and every question gets the
// answer set beforehand. Thread-safe.
class MemoryAccountViews final : public RecentPlayersView,
                                 public ProfileView,
                                 public QuestionView,
                                 public QueuedMessageView {
  public:
    struct Shown {
        std::vector<std::vector<std::string>> recentPlayers;  // one entry per reply
        std::vector<ProfileShowing> profiles;
        std::vector<MemoryQueuedMessageView::Message> messages;
        std::vector<MemoryQueuedMessageView::Message> questions;  // asked, with their captions

        size_t count() const { return recentPlayers.size() + profiles.size() + messages.size(); }
    };

    AccountViews views() { return {*this, *this, *this, *this}; }

    // The answer to every later question; Yes at the start.
    void answerQuestions(bool yes);

    void showRecentPlayers(std::vector<std::string> names) override;
    void showProfile(ProfileShowing showing) override;
    void showMessage(std::string text, std::string caption) override;
    bool confirm(std::string text, std::string caption) override;

    Shown shown() const;
    // Waits until `done` holds for what was shown, or `timeout` passes; returns
    // whether it holds. `done` runs with the views locked.
    bool waitUntil(const std::function<bool(const Shown&)>& done, std::chrono::milliseconds timeout) const;

  private:
    mutable std::mutex m_mutex;
    mutable std::condition_variable m_changed;
    Shown m_shown;
    bool m_answer = true;
};
