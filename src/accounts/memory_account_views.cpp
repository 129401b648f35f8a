#include "accounts/memory_account_views.h"

#include <utility>

void MemoryAccountViews::answerQuestions(bool yes) {
    const std::scoped_lock lock(m_mutex);
    m_answer = yes;
}

void MemoryAccountViews::showRecentPlayers(std::vector<std::string> names) {
    {
        const std::scoped_lock lock(m_mutex);
        m_shown.recentPlayers.push_back(std::move(names));
    }
    m_changed.notify_all();
}

void MemoryAccountViews::showProfile(ProfileShowing showing) {
    {
        const std::scoped_lock lock(m_mutex);
        m_shown.profiles.push_back(showing);
    }
    m_changed.notify_all();
}

void MemoryAccountViews::showMessage(std::string text, std::string caption) {
    {
        const std::scoped_lock lock(m_mutex);
        m_shown.messages.push_back({std::move(text), std::move(caption)});
    }
    m_changed.notify_all();
}

bool MemoryAccountViews::confirm(std::string text, std::string caption) {
    const std::scoped_lock lock(m_mutex);
    m_shown.questions.push_back({std::move(text), std::move(caption)});
    return m_answer;
}

MemoryAccountViews::Shown MemoryAccountViews::shown() const {
    const std::scoped_lock lock(m_mutex);
    return m_shown;
}

bool MemoryAccountViews::waitUntil(const std::function<bool(const Shown&)>& done,
                                   std::chrono::milliseconds timeout) const {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [&] { return done(m_shown); });
}
