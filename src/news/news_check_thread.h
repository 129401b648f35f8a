#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "news/news_check.h"

// One news check on a thread of its own, started by the constructor. The shell
// makes one at start-up when bv_firstrun is below 1 and bv_shownews is 1 or more.
//
// The destructor stops the check and joins the thread: at most about one
// config.waitSlice, plus any host name lookup or question still under way.
// `ui` must outlive this object.
class NewsCheckThread {
  public:
    NewsCheckThread(NewsConfig config, int lastArticleNo, NewsView& ui);
    ~NewsCheckThread();
    NewsCheckThread(const NewsCheckThread&) = delete;
    NewsCheckThread& operator=(const NewsCheckThread&) = delete;

    // Stops the check and waits for the thread; from any thread but its own.
    void stop();
    // Waits up to `timeout` for the check to end by itself; true once it has.
    bool waitFinished(std::chrono::milliseconds timeout);
    // The check's outcome; final once waitFinished has returned true.
    NewsOutcome outcome() const;

  private:
    mutable std::mutex m_mutex;
    std::condition_variable m_finishedChanged;
    bool m_finished = false;
    NewsOutcome m_outcome;
    std::jthread m_thread;  // last: starts once everything above exists
};
