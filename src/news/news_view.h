#pragma once

#include <mutex>
#include <stop_token>
#include <string>
#include <vector>

// What the news check needs from the program around it. The shell implements it
// with message boxes and the user's web browser.
//
// Every call comes from the news thread (or from the caller of a synchronous
// check). Boxes carry the application's title, "Brumvek", as caption.
class NewsView {
  public:
    virtual ~NewsView() = default;

    // bv_lastarticleno is now `articleNo`: store it with the settings. Called
    // once per announcement, before the question.
    virtual void lastArticleRaised(int articleNo) = 0;
    // Asks `question` with Yes and No buttons; true for Yes. May wait for the
    // user, but must answer No soon after `stop` is requested: the news thread's
    // owner joins it at exit.
    virtual bool askYesNo(const std::string& question, std::stop_token stop) = 0;
    // Opens `url` in the user's default web browser; the outcome is not needed.
    virtual void openWebPage(const std::string& url) = 0;
    // Shows `text` in a box with an OK button. Returns without waiting for the
    // user (queue the box), so that a stop is never held up.
    virtual void showError(const std::string& text) = 0;
};

// Notes every call as one line ("raised N", "ask TEXT", "open URL", "error TEXT")
// and gives a fixed answer: tests and command-line tools. Thread-safe.
class RecordingNewsView final : public NewsView {
  public:
    explicit RecordingNewsView(bool answerYes = false) : m_answerYes(answerYes) {}

    void lastArticleRaised(int articleNo) override { note("raised " + std::to_string(articleNo)); }
    bool askYesNo(const std::string& question, std::stop_token) override {
        note("ask " + question);
        return m_answerYes;
    }
    void openWebPage(const std::string& url) override { note("open " + url); }
    void showError(const std::string& text) override { note("error " + text); }

    std::vector<std::string> events() const {
        const std::scoped_lock lock(m_mutex);
        return m_events;
    }

  private:
    void note(std::string event) {
        const std::scoped_lock lock(m_mutex);
        m_events.push_back(std::move(event));
    }

    const bool m_answerYes;
    mutable std::mutex m_mutex;
    std::vector<std::string> m_events;
};
