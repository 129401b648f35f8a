#pragma once

#include <functional>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// Where the browser core's message boxes go: queued, never waiting for the user
// (compare ModalMessageView, whose caller waits for the box to close).
//
// Called from the receive thread as well as the UI thread. An implementation
// must return without waiting for the user when called from a worker (queue the
// box onto the UI thread): the receive thread takes no datagram while it is inside
// this call. An empty caption stands for the application's title, "Brumvek".
class QueuedMessageView {
  public:
    virtual ~QueuedMessageView() = default;
    virtual void showMessage(std::string text, std::string caption) = 0;

    // A box with the application's title, as showMessage(); `closed` runs once
    // it is gone: at once where nobody has to dismiss it, else on the thread
    // that showed it, after the user did.
    virtual void showReport(std::string text, const std::function<void()>& closed) {
        showMessage(std::move(text), {});
        closed();
    }
};

// Keeps every message for the caller to read back: tests and command-line tools.
// Thread-safe.
class MemoryQueuedMessageView final : public QueuedMessageView {
  public:
    struct Message {
        std::string text;
        std::string caption;
        friend bool operator==(const Message&, const Message&) = default;
    };

    void showMessage(std::string text, std::string caption) override {
        const std::scoped_lock lock(m_mutex);
        m_messages.push_back({std::move(text), std::move(caption)});
    }

    std::vector<Message> messages() const {
        const std::scoped_lock lock(m_mutex);
        return m_messages;
    }

  private:
    mutable std::mutex m_mutex;
    std::vector<Message> m_messages;
};
