#pragma once

#include <mutex>
#include <string>
#include <utility>
#include <vector>

// The icon a message box carries.
enum class MessageIcon { None, Stop, Exclamation, Information };

// One modal message box with an OK button. An empty caption stands for the
// application's title, "Brumvek".
struct UserMessage {
    std::string text;
    std::string caption;
    MessageIcon icon = MessageIcon::None;
    friend bool operator==(const UserMessage&, const UserMessage&) = default;
};

// Where the launch subsystem's message boxes go: modal, the caller waits until
// the user has closed the box (compare QueuedMessageView, which never waits). Called on the thread that
// called the reporting operation.
class ModalMessageView {
  public:
    virtual ~ModalMessageView() = default;
    virtual void showMessage(UserMessage message) = 0;
};

// Keeps every message for the caller to read back: tests and command-line tools.
// Thread-safe.
class MemoryModalMessageView final : public ModalMessageView {
  public:
    void showMessage(UserMessage message) override {
        const std::scoped_lock lock(m_mutex);
        m_messages.push_back(std::move(message));
    }

    std::vector<UserMessage> messages() const {
        const std::scoped_lock lock(m_mutex);
        return m_messages;
    }

    void clear() {
        const std::scoped_lock lock(m_mutex);
        m_messages.clear();
    }

  private:
    mutable std::mutex m_mutex;
    std::vector<UserMessage> m_messages;
};
