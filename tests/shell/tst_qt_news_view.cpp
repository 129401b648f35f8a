// The news check's view: questions asked from the news thread are answered on
// the UI thread while the news thread waits, a stop releases the waiting news
// thread at once, errors are queued without waiting, and an announcement raises
// bv_lastarticleno and opens the news page.

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QUrl>
#include <chrono>
#include <future>
#include <optional>
#include <stop_token>

#include "launch/settings.h"
#include "news/news_check.h"
#include "shell/qt_news_view.h"
#include "shell_test_support.h"

namespace {

using namespace std::chrono_literals;

// Only a thread that never comes back takes this long.
constexpr std::chrono::seconds kNeverBack = 60s;

// Runs `work` on a thread of its own with a stop source. Going, it requests the
// stop and lets the UI thread take its events for a while, so that a failing
// test ends instead of hanging on a thread that waits for an answer.
template <typename Result>
class Worker {
  public:
    explicit Worker(std::function<Result(std::stop_token)> work)
        : m_result(std::async(std::launch::async, std::move(work), m_stop.get_token())) {}
    ~Worker() {
        m_stop.request_stop();
        if (m_result.valid()) {
            static_cast<void>(QTest::qWaitFor([this] { return doneWithin(0ms); }, 5000));
            m_result.wait();
        }
    }

    // Blocks the calling thread, events and all, for at most `timeout`.
    bool doneWithin(std::chrono::milliseconds timeout) const {
        return m_result.wait_for(timeout) == std::future_status::ready;
    }
    Result result() { return m_result.get(); }
    void stop() { m_stop.request_stop(); }

  private:
    std::stop_source m_stop;
    std::future<Result> m_result;
};

}  // namespace

class QtNewsViewTest : public QObject {
    Q_OBJECT

    RecordingBoxes m_boxes;
    std::unique_ptr<QtNewsView> m_ui;
    QList<QUrl> m_opened;

  public slots:
    void openUrl(const QUrl& url) { m_opened << url; }

  private slots:
    void initTestCase() { QDesktopServices::setUrlHandler(QStringLiteral("http"), this, "openUrl"); }
    void cleanupTestCase() { QDesktopServices::unsetUrlHandler(QStringLiteral("http")); }
    void init();
    void cleanup() { m_ui.reset(); }

    void announcementIsAnsweredOnTheUiThreadWhileTheNewsThreadWaits();
    void stopReleasesTheNewsThreadWithNo();
    void errorsAndTheArticleNumberDoNotWaitForTheUser();
};

void QtNewsViewTest::init() {
    resetSettings();
    m_opened.clear();
    m_boxes = {};
    m_ui = std::make_unique<QtNewsView>(m_boxes);
}

void QtNewsViewTest::announcementIsAnsweredOnTheUiThreadWhileTheNewsThreadWaits() {
    QTemporaryDir dir;
    NewsConfig config;
    config.stampDirectory = dir.path().toStdString();
    QFile stamp(dir.filePath(QStringLiteral("nstamp.txt")));
    QVERIFY(stamp.open(QIODevice::WriteOnly) && stamp.write("ARTICLENO=5\n") > 0 && stamp.flush());
    {
        Worker<std::optional<int>> news(
            [&](std::stop_token stop) { return NewsCheckStamp(config, 4, *m_ui, std::move(stop)); });
        QTRY_VERIFY(news.doneWithin(0ms));
    }
    QTRY_COMPARE(m_opened, QList<QUrl>{QUrl(QStringLiteral("http://news.pellrig.example/news"))});
    QCOMPARE(m_boxes.questions.size(), size_t{1});
    QCOMPARE(m_boxes.threads, std::vector<QThread*>{QCoreApplication::instance()->thread()});
}

void QtNewsViewTest::stopReleasesTheNewsThreadWithNo() {
    // Stopped before the UI thread got to the question: No at once, and the
    // question is never shown.
    {
        Worker<bool> asker(
            [this](std::stop_token stop) { return m_ui->askYesNo("Queued?", std::move(stop)); });
        asker.stop();
        QVERIFY(asker.doneWithin(kNeverBack));
        QVERIFY(!asker.result());
    }
    QCoreApplication::sendPostedEvents();
    QVERIFY(m_boxes.questions.empty());

    // Stopped while the box is up: the news thread leaves with No although the
    // user answers Yes later.
    bool releasedWhileAsking = false;
    std::optional<Worker<bool>> asker;
    m_boxes.whileAsking = [&] {
        asker->stop();
        releasedWhileAsking = asker->doneWithin(kNeverBack);
    };
    asker.emplace([this](std::stop_token stop) { return m_ui->askYesNo("Up?", std::move(stop)); });
    QTRY_COMPARE(m_boxes.questions.size(), size_t{1});
    QVERIFY(releasedWhileAsking);
    QVERIFY(!asker->result());
}

void QtNewsViewTest::errorsAndTheArticleNumberDoNotWaitForTheUser() {
    Worker<bool> news([this](const std::stop_token&) {
        m_ui->lastArticleRaised(300);
        m_ui->showError("HawkNL error # 1: Host not found\n");
        return true;
    });
    // The UI thread takes no event meanwhile, so a call that waited for it
    // would not return.
    QVERIFY(news.doneWithin(kNeverBack));
    {
        const auto lock = lockSettings();
        QCOMPARE(bv_lastarticleno, 300);
    }
    QVERIFY(m_boxes.messages.empty());

    const std::vector<UserMessage> shown{{"HawkNL error # 1: Host not found\n", "", MessageIcon::None}};
    QTRY_COMPARE(m_boxes.messages, shown);
    QCOMPARE(m_boxes.threads, std::vector<QThread*>{QCoreApplication::instance()->thread()});
}

QTEST_MAIN(QtNewsViewTest)
#include "tst_qt_news_view.moc"
