// How the window keeps up with a ping sweep over 512 simulated game servers
// (the server mix of sweep_bench). The program logs in by itself against the
// simulator and sweeps once; then Query Master starts the sweep measured:
// - how long the UI thread is held at a time, from a probe timer ticking every
//   millisecond on it and from timing every event the thread handles;
// - the time from Query Master until every listed row shows its ping, against
//   the time the sweep's pacing allows.
// With --core the same servers are then swept by the core alone, for
// comparison.
//
// Usage: ui_sweep_bench PELLRIG_SIM [SERVERS] [--core]

#include <time.h>

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMetaEnum>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "launch/config_file.h"
#include "launch/settings.h"
#include "net/transport.h"
#include "shell/browser_list_views.h"
#include "shell/tab_wnd_app.h"
#include "sweep_scenario.h"

namespace {

constexpr int kQueryMaster = 32776;
constexpr int kPingColumn = 6;
constexpr qint64 kProbeIntervalNs = 1'000'000;
constexpr qint64 kFrameNs = 16'000'000;
// Events this long are kept one by one, to tell what held the longest gaps.
constexpr qint64 kLongEventNs = 2'000'000;
constexpr int kSweepTimeoutMs = 10 * 60 * 1000;

double ms(qint64 ns) {
    return static_cast<double>(ns) / 1e6;
}

qint64 threadCpuNs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64{now.tv_sec} * 1'000'000'000 + now.tv_nsec;
}

// Boxes that do not wait for anyone: printed instead.
class PrintedBoxes final : public MessageBoxes {
  public:
    void showMessage(UserMessage message) override { std::printf("box: %s\n", message.text.c_str()); }
    bool confirm(std::string text, std::string /*caption*/) override {
        std::printf("question: %s\n", text.c_str());
        return false;
    }
};

using EventKey = std::pair<const QMetaObject*, int>;  // receiver class, event type

std::string describe(const EventKey& key) {
    const char* type = QMetaEnum::fromType<QEvent::Type>().valueToKey(key.second);
    return std::string(key.first->className()) + " " + (type != nullptr ? type : std::to_string(key.second));
}

struct EventKind {
    int count = 0;
    qint64 totalNs = 0;
    qint64 longestNs = 0;
    qint64 longestAtNs = 0;
};

struct LongEvent {
    qint64 startNs;
    qint64 tookNs;
    EventKey key;
};

// Times every event the UI thread handles while recording. An event sent from
// inside another counts in the outer one, so the times never overlap.
class TimedApplication final : public QApplication {
  public:
    TimedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    void startRecording(const QElapsedTimer& clock) { m_clock = &clock; }
    void stopRecording() { m_clock = nullptr; }

    bool notify(QObject* receiver, QEvent* event) override {
        const QElapsedTimer* clock = m_clock;
        if (clock == nullptr || m_depth > 0 || QThread::currentThread() != thread()) {
            return QApplication::notify(receiver, event);
        }
        // Taken before delivery: the event or its receiver may be gone after it.
        const EventKey key{receiver->metaObject(), static_cast<int>(event->type())};
        const qint64 start = clock->nsecsElapsed();
        ++m_depth;
        const bool handled = QApplication::notify(receiver, event);
        --m_depth;
        const qint64 took = clock->nsecsElapsed() - start;
        EventKind& kind = kinds[key];
        ++kind.count;
        kind.totalNs += took;
        if (took > kind.longestNs) {
            kind.longestNs = took;
            kind.longestAtNs = start;
        }
        if (took >= kLongEventNs) {
            longEvents.push_back({start, took, key});
        }
        return handled;
    }

    std::map<EventKey, EventKind> kinds;
    std::vector<LongEvent> longEvents;

  private:
    const QElapsedTimer* m_clock = nullptr;
    int m_depth = 0;
};

// A timer ticking every millisecond on the UI thread: a late tick means the
// thread was held. Each gap keeps how much of it the thread spent running, so
// being held by its own work shows apart from waiting for a processor.
class UiProbe {
  public:
    struct Gap {
        qint64 fromNs;  // the end of one tick
        qint64 toNs;    // the start of the next
        qint64 cpuNs;   // the thread's processor time in between

        qint64 lateNs() const { return std::max<qint64>(toNs - fromNs - kProbeIntervalNs, 0); }
    };

    // `onTick` runs on every tick; its own time is no gap.
    UiProbe(const QElapsedTimer& clock, std::function<void()> onTick)
        : m_clock(clock), m_onTick(std::move(onTick)) {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { tick(); });
        m_timer.start();
    }

    void startRecording() { m_recording = true; }

    std::vector<Gap> gaps;

  private:
    void tick() {
        const qint64 now = m_clock.nsecsElapsed();
        const qint64 cpu = threadCpuNs();
        if (m_recording && m_lastNs >= 0) {
            gaps.push_back({m_lastNs, now, cpu - m_lastCpuNs});
        }
        m_onTick();
        m_lastNs = m_clock.nsecsElapsed();
        m_lastCpuNs = threadCpuNs();
    }

    const QElapsedTimer& m_clock;
    std::function<void()> m_onTick;
    QTimer m_timer;
    bool m_recording = false;
    qint64 m_lastNs = -1;
    qint64 m_lastCpuNs = 0;
};

// Whether the list holds `expected` rows and each shows its ping. Within one
// sweep a row's ping is only ever filled in, so each check resumes where the
// last one stopped and costs next to nothing on the UI thread.
class PingedRows {
  public:
    PingedRows(QTreeWidget& list, int expected) : m_list(list), m_expected(expected) {}

    void restart() { m_next = 0; }

    bool check() {
        if (m_list.topLevelItemCount() != m_expected) {
            m_next = 0;
            return false;
        }
        while (m_next < m_expected && !m_list.topLevelItem(m_next)->text(kPingColumn).isEmpty()) {
            ++m_next;
        }
        return m_next == m_expected;
    }

  private:
    QTreeWidget& m_list;
    int m_expected;
    int m_next = 0;
};

struct Measurement {
    bool finished = false;
    qint64 triggeredNs = 0;
    qint64 commandNs = 0;  // the Query Master command itself
    qint64 shownNs = 0;    // from the command until every row showed its ping
    std::vector<UiProbe::Gap> gaps;
};

// Query Master, timed until every one of `listed` rows shows its ping; the
// probe and the event timing run from the command until a little after, so the
// last repaint counts too.
Measurement measureQueryMaster(TimedApplication& app, CMainFrame& frame, int listed) {
    CBottomView& list = frame.serverList();
    PingedRows rows(list, listed);
    Measurement result;
    bool cleared = false;
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    // The old rows stay, all pinged, until the list applies the clear.
    const QObject watching;
    QObject::connect(list.model(), &QAbstractItemModel::modelReset, &watching, [&] {
        cleared = true;
        rows.restart();
    });
    UiProbe probe(clock, [&] {
        if (result.finished || !cleared || !rows.check()) {
            return;
        }
        result.finished = true;
        result.shownNs = clock.nsecsElapsed() - result.triggeredNs;
        QTimer::singleShot(200, &loop, &QEventLoop::quit);
    });
    QTimer::singleShot(100, &loop, [&] {
        app.startRecording(clock);
        probe.startRecording();
        result.triggeredNs = clock.nsecsElapsed();
        frame.command(kQueryMaster)->trigger();
        result.commandNs = clock.nsecsElapsed() - result.triggeredNs;
    });
    QTimer::singleShot(kSweepTimeoutMs, &loop, &QEventLoop::quit);
    loop.exec();
    app.stopRecording();
    result.gaps = std::move(probe.gaps);
    return result;
}

qint64 percentile(std::vector<qint64> values, double share) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<size_t>(share * static_cast<double>(values.size()));
    return values[std::min(rank, values.size() - 1)];
}

void reportUiThread(const TimedApplication& app, const Measurement& sweep) {
    std::vector<qint64> late;
    for (const UiProbe::Gap& gap : sweep.gaps) {
        late.push_back(gap.lateNs());
    }
    std::vector<UiProbe::Gap> longest = sweep.gaps;
    std::sort(longest.begin(), longest.end(),
              [](const UiProbe::Gap& a, const UiProbe::Gap& b) { return a.lateNs() > b.lateNs(); });
    longest.resize(std::min<size_t>(longest.size(), 5));
    const auto at = [&sweep](qint64 ns) { return ms(ns - sweep.triggeredNs); };

    std::printf("UI thread during the sweep (probe every 1 ms: %zu ticks)\n", sweep.gaps.size());
    if (!longest.empty()) {
        std::printf(
            "  longest gap            %.2f ms   (target < 16) at %+.0f ms, the thread running %.2f ms of "
            "it\n",
            ms(longest.front().lateNs()), at(longest.front().fromNs), ms(longest.front().cpuNs));
    }
    std::printf("  99th percentile gap    %.2f ms\n", ms(percentile(late, 0.99)));
    std::printf("  gaps over 16 ms        %td\n",
                std::count_if(late.begin(), late.end(), [](qint64 ns) { return ns > kFrameNs; }));

    std::vector<std::pair<EventKey, EventKind>> kinds(app.kinds.begin(), app.kinds.end());
    std::sort(kinds.begin(), kinds.end(),
              [](const auto& a, const auto& b) { return a.second.longestNs > b.second.longestNs; });
    if (!kinds.empty()) {
        std::printf("  longest event          %.2f ms   %s at %+.0f ms\n", ms(kinds.front().second.longestNs),
                    describe(kinds.front().first).c_str(), at(kinds.front().second.longestAtNs));
    }
    std::printf("  events over 16 ms      %td\n",
                std::count_if(app.longEvents.begin(), app.longEvents.end(),
                              [](const LongEvent& event) { return event.tookNs > kFrameNs; }));
    std::printf("  Query Master command   %.2f ms\n", ms(sweep.commandNs));

    std::printf("longest gaps, with the events of 2 ms or more in them\n");
    for (const UiProbe::Gap& gap : longest) {
        std::printf("  %+8.0f ms  %6.2f ms, running %6.2f ms:", at(gap.fromNs), ms(gap.lateNs()),
                    ms(gap.cpuNs));
        for (const LongEvent& event : app.longEvents) {
            if (event.startNs < gap.toNs && event.startNs + event.tookNs > gap.fromNs) {
                std::printf("  %s %.2f ms", describe(event.key).c_str(), ms(event.tookNs));
            }
        }
        std::printf("\n");
    }
    std::printf("slowest kinds of event\n  longest     count     total  receiver and event\n");
    for (size_t i = 0; i < std::min<size_t>(kinds.size(), 8); ++i) {
        const EventKind& kind = kinds[i].second;
        std::printf("  %6.2f ms %7d %7.0f ms  %s\n", ms(kind.longestNs), kind.count, ms(kind.totalNs),
                    describe(kinds[i].first).c_str());
    }
}

void seedSettings(const std::string& folder, MessageBoxes& boxes) {
    resetSettings();
    bv_rememberpassword = 1;
    bv_autologin = 1;
    bv_firstrun = 0;
    bv_shownews = 0;
    bv_username = "alice";
    bv_password = "wonderland";
    BV_SaveConfig(boxes, folder);
    resetSettings();
}

void printLoad(const char* when) {
    double load[3] = {};
    if (getloadavg(load, 3) == 3) {
        std::printf("load average %-10s %.2f %.2f %.2f (%d processors)\n", when, load[0], load[1], load[2],
                    QThread::idealThreadCount());
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    TimedApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: ui_sweep_bench PELLRIG_SIM [SERVERS] [--core]\n");
        return 2;
    }
    int count = kMaxServers;
    bool withCore = false;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--core") {
            withCore = true;
        } else {
            count = std::clamp(std::atoi(argv[i]), 1, kMaxServers);
        }
    }
    printLoad("at start");

    const std::vector<BenchServer> servers = makeBenchServers(count);
    QTemporaryDir work;
    const std::string folder = work.path().toStdString();
    writeBenchScenario(servers, folder + "/scenario.json");
    BenchSimulator sim;
    std::string error;
    if (!sim.start(argv[1], folder + "/scenario.json", error)) {
        std::fprintf(stderr, "cannot start the simulator: %s\n", error.c_str());
        return 1;
    }
    const std::span<const BenchServer> listed = std::span(servers).first(sim.listed);
    const auto listedRows = static_cast<int>(listed.size());
    std::printf("servers                %d (%td silent); the master lists the first %d\n", count,
                std::count_if(listed.begin(), listed.end(), [](const BenchServer& s) { return s.silent; }),
                listedRows);

    PrintedBoxes boxes;
    seedSettings(folder, boxes);
    ShellConfig config;
    config.net = {0, "127.0.0.1"};
    config.masterHost = sim.master;
    config.newsHost = "127.0.0.1:9";
    config.configLocation = folder;

    Measurement sweep;
    {
        CTabWndApp program(config, boxes);
        // A log-in that fails leaves its dialog waiting for a user.
        bool started = false;
        QTimer::singleShot(60'000, [&] {
            if (!started) {
                std::fprintf(stderr, "the log-in did not finish\n");
                sim.stop();
                std::_Exit(1);
            }
        });
        started = program.InitInstance();
        if (!started) {
            std::fprintf(stderr, "the program did not start\n");
            return 1;
        }
        CMainFrame& frame = *program.mainFrame();
        PingedRows rows(frame.serverList(), listedRows);
        if (!QTest::qWaitFor([&rows] { return rows.check(); }, kSweepTimeoutMs)) {
            std::fprintf(stderr, "the first sweep did not finish\n");
            return 1;
        }
        // Late answers of the first sweep land before the second begins.
        QTest::qWait(500);
        sweep = measureQueryMaster(app, frame, listedRows);
        frame.close();
    }
    if (!sweep.finished) {
        std::fprintf(stderr, "the list was not shown and pinged within %d s\n", kSweepTimeoutMs / 1000);
        return 1;
    }

    const double idealMs = idealSweepMs(listed);
    std::printf("Query Master until every listed row shows its ping\n");
    std::printf("  shown after            %.0f ms\n", ms(sweep.shownNs));
    std::printf("  ideal time             %.0f ms\n", idealMs);
    std::printf("  shown / ideal          %.4f   (target <= 1.05)\n", ms(sweep.shownNs) / idealMs);
    reportUiThread(app, sweep);

    if (withCore) {
        NET_Init({0, "127.0.0.1"});
        const std::vector<std::string> addresses(
            sim.addresses.begin(), sim.addresses.begin() + static_cast<std::ptrdiff_t>(sim.listed));
        const CoreSweepRun core = runCoreSweep(addresses);
        NET_Shutdown();
        std::printf("the same servers, the core alone\n");
        std::printf("  sweep time             %.0f ms\n", core.elapsedMs);
        std::printf("  sweep / ideal          %.4f\n", core.elapsedMs / idealMs);
    }
    printLoad("at end");
    sim.stop();
    return 0;
}
