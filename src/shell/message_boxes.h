#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <string>

#include "accounts/account_views.h"
#include "browser/queued_message_view.h"
#include "launch/user_messages.h"

// The modal message boxes and Yes/No questions of the program, on the UI
// thread only: each call returns once the user has answered. Tests put a
// recording implementation in its place.
class MessageBoxes : public ModalMessageView, public QuestionView {};

// The real boxes. `parent` (may be null) keeps them above the window that asks.
class QtMessageBoxes final : public MessageBoxes {
  public:
    explicit QtMessageBoxes(QWidget* parent = nullptr) : m_parent(parent) {}
    void showMessage(UserMessage message) override;
    bool confirm(std::string text, std::string caption) override;

  private:
    QPointer<QWidget> m_parent;
};

// Boxes for programs that run without a user (tools, benchmarks, test
// children): each box and question is printed to standard output as
// "box: CAPTION|TEXT" or "question: CAPTION|TEXT", and every question gets
// `answer`.
class PrintedMessageBoxes final : public MessageBoxes {
  public:
    explicit PrintedMessageBoxes(bool answer) : m_answer(answer) {}
    void showMessage(UserMessage message) override;
    bool confirm(std::string text, std::string caption) override;

  private:
    bool m_answer;
};

// The core's non-blocking message sink: a box asked for on any thread is shown
// by `boxes` on the UI thread, and the caller goes on at once.
class QtQueuedMessageView final : public QObject, public QueuedMessageView {
    Q_OBJECT

  public:
    // Create it on the UI thread; `boxes` must outlive it.
    explicit QtQueuedMessageView(MessageBoxes& boxes, QObject* parent = nullptr);
    void showMessage(std::string text, std::string caption) override;
    void showReport(std::string text, const std::function<void()>& closed) override;

  private:
    MessageBoxes& m_boxes;
};

// The application's title, which boxes without a caption of their own carry.
inline constexpr char kApplicationTitle[] = "Brumvek";
