#include "news/news_check_thread.h"

#include <utility>

NewsCheckThread::NewsCheckThread(NewsConfig config, int lastArticleNo, NewsView& ui)
    : m_outcome{NewsStatus::NothingToAnnounce, lastArticleNo, {}},
      m_thread([this, config = std::move(config), lastArticleNo, &ui](const std::stop_token& stop) {
          NewsOutcome outcome = runNewsCheck(config, lastArticleNo, ui, stop);
          const std::scoped_lock lock(m_mutex);
          m_outcome = std::move(outcome);
          m_finished = true;
          m_finishedChanged.notify_all();
      }) {}

NewsCheckThread::~NewsCheckThread() {
    stop();
}

void NewsCheckThread::stop() {
    if (m_thread.joinable()) {
        m_thread.request_stop();
        m_thread.join();
    }
}

bool NewsCheckThread::waitFinished(std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_finishedChanged.wait_for(lock, timeout, [this] { return m_finished; });
}

NewsOutcome NewsCheckThread::outcome() const {
    const std::scoped_lock lock(m_mutex);
    return m_outcome;
}
