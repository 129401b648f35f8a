#include "accounts/awaited_reply.h"

#include <utility>

void AwaitedReply::open(const NetAddress& from, Takes takes, Read read) {
    const std::scoped_lock lock(m_mutex);
    m_open = true;
    m_answered = false;
    m_from = from;
    m_takes = std::move(takes);
    m_read = std::move(read);
}

void AwaitedReply::close() {
    const std::scoped_lock lock(m_mutex);
    m_open = false;
    m_answered = false;
    m_takes = nullptr;
    m_read = nullptr;
}

bool AwaitedReply::offer(int32_t code, SizeBuffer& message, const NetAddress& from) {
    {
        const std::scoped_lock lock(m_mutex);
        // Only the first answer counts, and only from the address asked.
        if (!m_open || m_answered || from != m_from || !m_takes(code)) {
            return false;
        }
        m_read(code, message);
        m_answered = true;
    }
    m_changed.notify_all();
    return true;
}

bool AwaitedReply::waitAnswered(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this] { return m_answered; });
}

bool AwaitedReply::answered() {
    const std::scoped_lock lock(m_mutex);
    return m_answered;
}
