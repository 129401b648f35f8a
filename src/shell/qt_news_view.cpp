#include "shell/qt_news_view.h"

#include <QDesktopServices>
#include <QMetaObject>
#include <QThread>
#include <QUrl>
#include <QWidget>  // complete for the QPointer in message_boxes.h
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>

#include "launch/settings.h"
#include "shell/latin1_text.h"
#include "shell/message_boxes.h"

namespace {

// One question between the news thread, which waits, and the UI thread, which
// answers. Shared, so that either side may leave first.
struct PendingAnswer {
    std::mutex mutex;
    std::condition_variable_any answered;
    std::optional<bool> answer;
    bool abandoned = false;  // the asker stopped waiting

    void give(bool yes) {
        {
            const std::scoped_lock lock(mutex);
            if (answer) {
                return;
            }
            answer = yes;
        }
        answered.notify_all();
    }

    bool stillWanted() {
        const std::scoped_lock lock(mutex);
        return !abandoned;
    }
};

// Answers No when it goes without having been answered: a queued question that
// Qt drops (its receiver deleted, the event loop gone) still wakes the asker.
class AnswerGuard {
  public:
    explicit AnswerGuard(std::shared_ptr<PendingAnswer> pending) : m_pending(std::move(pending)) {}
    ~AnswerGuard() { m_pending->give(false); }
    AnswerGuard(const AnswerGuard&) = delete;
    AnswerGuard& operator=(const AnswerGuard&) = delete;

    PendingAnswer& pending() { return *m_pending; }

  private:
    std::shared_ptr<PendingAnswer> m_pending;
};

}  // namespace

QtNewsView::QtNewsView(MessageBoxes& boxes, QObject* parent) : QObject(parent), m_boxes(boxes) {}

void QtNewsView::lastArticleRaised(int articleNo) {
    const auto lock = lockSettings();
    bv_lastarticleno = articleNo;
}

bool QtNewsView::askYesNo(const std::string& question, std::stop_token stop) {
    if (QThread::currentThread() == thread()) {
        return m_boxes.confirm(question, "");
    }
    auto pending = std::make_shared<PendingAnswer>();
    auto guard = std::make_shared<AnswerGuard>(pending);
    MessageBoxes& boxes = m_boxes;
    QMetaObject::invokeMethod(
        this,
        [guard, &boxes, question] {
            // A question whose asker has already given up is not shown.
            if (guard->pending().stillWanted()) {
                guard->pending().give(boxes.confirm(question, ""));
            }
        },
        Qt::QueuedConnection);
    guard.reset();

    std::unique_lock lock(pending->mutex);
    pending->answered.wait(lock, stop, [&pending] { return pending->answer.has_value(); });
    if (!pending->answer) {
        pending->abandoned = true;
        return false;
    }
    return *pending->answer;
}

void QtNewsView::openWebPage(const std::string& url) {
    QMetaObject::invokeMethod(
        this, [address = fromLatin1Text(url)] { QDesktopServices::openUrl(QUrl(address)); },
        Qt::QueuedConnection);
}

void QtNewsView::showError(const std::string& text) {
    MessageBoxes& boxes = m_boxes;
    QMetaObject::invokeMethod(
        this,
        [&boxes, text] {
            boxes.showMessage({text, "", MessageIcon::None});
        },
        Qt::QueuedConnection);
}
