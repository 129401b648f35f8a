// How the window keeps up with a ping sweep over 512 simulated game servers
// (the server mix of sweep_bench). The program logs in by itself against the
// simulator and sweeps once; then Query Master starts the sweeps measured, the
// paced sweep and then, with Fast Refresh checked, the fast refresh:
// - how long the UI thread is held at a time, from a probe timer ticking every
//   millisecond on it and from timing every event the thread handles;
// - the time from Query Master until every listed row shows its ping, against
//   the time the paced sweep's pacing allows, or the fast refresh's target.
// With --core the same servers are then swept by the core alone, for
// comparison.
//
// Usage: ui_sweep_bench PELLRIG_SIM [SERVERS] [--core]

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

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
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <span>
#include <stop_token>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "net/transport.h"
#include "shell/server_list_view.h"
#include "shell_bench_support.h"

namespace {

constexpr qint64 kProbeIntervalNs = 1'000'000;
constexpr qint64 kFrameNs = 16'000'000;
// Events this long are kept one by one, to tell what held the longest gaps.
constexpr qint64 kLongEventNs = 2'000'000;
constexpr int kSweepTimeoutMs = 10 * 60 * 1000;
#ifdef SYS_poll
constexpr long kPollSyscall = SYS_poll;
#else
constexpr long kPollSyscall = -1;  // the event loop waits in ppoll(), whose time-out is not shown
#endif

double ms(qint64 ns) {
    return static_cast<double>(ns) / 1e6;
}

// The first `most` numbers of `text`, decimal or 0x-prefixed; fewer when it
// starts with fewer.
std::vector<unsigned long long> leadingNumbers(const char* text, size_t most) {
    std::vector<unsigned long long> numbers;
    while (numbers.size() < most) {
        char* end = nullptr;
        const unsigned long long number = std::strtoull(text, &end, 0);
        if (end == text) {
            break;
        }
        numbers.push_back(number);
        text = end;
    }
    return numbers;
}

// What the kernel counts for the calling thread, as differences between two
// readings.
struct ThreadCounts {
    qint64 cpuNs = 0;   // processor time
    qint64 waitNs = 0;  // time waiting, runnable, for a processor: a loaded machine
                        // holds the thread so without any fault of the program
    long sleeps = 0;    // times it gave up the processor by itself
    long faults = 0;    // page faults

    ThreadCounts operator-(const ThreadCounts& earlier) const {
        return {cpuNs - earlier.cpuNs, waitNs - earlier.waitNs, sleeps - earlier.sleeps,
                faults - earlier.faults};
    }
};

// Reads ThreadCounts on the thread that created it.
class ThreadCounters {
  public:
    ThreadCounters() : m_schedstat(open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC)) {}
    ~ThreadCounters() {
        if (m_schedstat >= 0) {
            close(m_schedstat);
        }
    }
    ThreadCounters(const ThreadCounters&) = delete;
    ThreadCounters& operator=(const ThreadCounters&) = delete;

    ThreadCounts read() const {
        ThreadCounts counts;
        timespec cpu{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
        counts.cpuNs = qint64{cpu.tv_sec} * 1'000'000'000 + cpu.tv_nsec;
        // schedstat: time on a processor, time waiting for one, time slices.
        char text[128];
        const ssize_t length = m_schedstat >= 0 ? pread(m_schedstat, text, sizeof text - 1, 0) : -1;
        if (length > 0) {
            text[length] = '\0';
            const std::vector<unsigned long long> figures = leadingNumbers(text, 2);
            counts.waitNs = figures.size() == 2 ? static_cast<qint64>(figures[1]) : 0;
        }
        rusage usage{};
        getrusage(RUSAGE_THREAD, &usage);
        counts.sleeps = usage.ru_nvcsw;
        counts.faults = usage.ru_minflt + usage.ru_majflt;
        return counts;
    }

  private:
    int m_schedstat;
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

// Times every event the UI thread handles while recording, but those of the
// benchmark's own `probe`. An event sent from inside another counts in the
// outer one, so the times never overlap.
class TimedApplication final : public QApplication {
  public:
    TimedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

    void startRecording(const QElapsedTimer& clock, const QObject& probe) {
        m_clock = &clock;
        m_probe = &probe;
    }
    void stopRecording() { m_clock = nullptr; }
    void forgetRecorded() {
        kinds.clear();
        longEvents.clear();
    }

    bool notify(QObject* receiver, QEvent* event) override {
        const QElapsedTimer* clock = m_clock;
        if (clock == nullptr || m_depth > 0 || receiver == m_probe || QThread::currentThread() != thread()) {
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
    const QObject* m_probe = nullptr;
    int m_depth = 0;
};

// A timer ticking every millisecond on the UI thread: a late tick means the
// thread was held. Each gap keeps what the kernel counted for the thread in
// it, so being held by the program's work shows apart from being held by the
// machine. Create it on the UI thread.
class UiProbe {
  public:
    struct Gap {
        qint64 fromNs;       // the end of one tick
        qint64 toNs;         // the start of the next
        ThreadCounts spent;  // the thread's, in between

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
    const QObject& timer() const { return m_timer; }

    std::vector<Gap> gaps;
    std::atomic<qint64> lastTickNs{-1};  // the end of the latest tick, for other threads

  private:
    void tick() {
        const qint64 now = m_clock.nsecsElapsed();
        const ThreadCounts counts = m_counters.read();
        if (m_recording && m_lastNs >= 0) {
            gaps.push_back({m_lastNs, now, counts - m_lastCounts});
        }
        m_onTick();
        m_lastCounts = m_counters.read();
        m_lastNs = m_clock.nsecsElapsed();
        lastTickNs.store(m_lastNs);
    }

    const QElapsedTimer& m_clock;
    std::function<void()> m_onTick;
    QTimer m_timer;
    bool m_recording = false;
    qint64 m_lastNs = -1;
    ThreadCounters m_counters;
    ThreadCounts m_lastCounts;
};

std::string readSmallFile(const std::string& path) {
    const int file = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (file < 0) {
        return {};
    }
    char text[4096];
    const ssize_t length = read(file, text, sizeof text);
    close(file);
    return length > 0 ? std::string(text, static_cast<size_t>(length)) : std::string();
}

// A kernel stack as its function names, innermost first, on one line.
std::string oneLineStack(const std::string& stack) {
    std::string line;
    size_t at = 0;
    while ((at = stack.find("] ", at)) != std::string::npos) {
        at += 2;
        const size_t end = stack.find_first_of("+\n", at);
        line += (line.empty() ? "" : " < ") + stack.substr(at, end - at);
    }
    return line;
}

// A thread beside the UI thread that only sleeps a millisecond at a time. It
// shares no lock or work with the program, so when it wakes late as well, the
// machine held both threads, not the program. When the UI thread's probe has
// ticked for a few milliseconds, it notes where in the kernel the UI thread
// waits.
// Create it on the UI thread.
class Watcher {
  public:
    struct Stall {
        qint64 fromNs;  // when it should have woken
        qint64 toNs;    // when it did
    };
    struct UiSample {
        qint64 sinceTickNs;  // the probe tick the UI thread is late after
        qint64 atNs;
        std::string syscall;  // number and first arguments
        std::string stack;
        // Asleep in the event loop's poll() with a time-out of a millisecond or
        // less: nothing of the program's to do, and the kernel has not woken it.
        bool idleOnDueTimer;
    };
    struct Seen {
        std::vector<Stall> stalls;  // oldest first
        std::vector<UiSample> samples;
    };

    Watcher(const QElapsedTimer& clock, const std::atomic<qint64>& uiLastTick)
        : m_clock(clock),
          m_uiLastTick(uiLastTick),
          m_uiTask("/proc/self/task/" + std::to_string(gettid()) + "/"),
          m_thread([this](const std::stop_token& stop) { run(stop); }) {}

    Seen finish() {
        m_thread.request_stop();
        m_thread.join();
        return std::move(m_seen);
    }

  private:
    void run(const std::stop_token& stop) {
        constexpr size_t kMostSamples = 4000;
        constexpr qint64 kSampleAfterNs = 3'000'000;
        constexpr qint64 kResampleNs = 5'000'000;
        qint64 last = m_clock.nsecsElapsed();
        qint64 sampled = -1;
        while (!stop.stop_requested()) {
            std::this_thread::sleep_for(std::chrono::nanoseconds(kProbeIntervalNs));
            const qint64 now = m_clock.nsecsElapsed();
            if (now - last > 2 * kProbeIntervalNs) {
                m_seen.stalls.push_back({last + kProbeIntervalNs, now});
            }
            last = now;
            const qint64 tick = m_uiLastTick.load();
            if (tick >= 0 && now - tick > kSampleAfterNs && now - sampled > kResampleNs &&
                m_seen.samples.size() < kMostSamples) {
                sampled = now;
                std::string syscall = readSmallFile(m_uiTask + "syscall");
                syscall = syscall.substr(0, syscall.find('\n'));
                size_t cut = 0;
                for (int field = 0; field < 4 && cut != std::string::npos; ++field) {
                    cut = syscall.find(' ', cut + 1);
                }
                syscall = syscall.substr(0, cut);
                // The number, then poll()'s fds, nfds and time-out in milliseconds.
                const std::vector<unsigned long long> call = leadingNumbers(syscall.c_str(), 4);
                const bool idle =
                    call.size() == 4 && static_cast<long>(call[0]) == kPollSyscall && call[3] <= 1;
                m_seen.samples.push_back(
                    {tick, now, std::move(syscall), oneLineStack(readSmallFile(m_uiTask + "stack")), idle});
            }
        }
    }

    const QElapsedTimer& m_clock;
    const std::atomic<qint64>& m_uiLastTick;
    std::string m_uiTask;  // the UI thread's folder in /proc
    Seen m_seen;           // its thread's alone until finish()
    std::jthread m_thread;
};

struct Measurement {
    bool finished = false;
    qint64 triggeredNs = 0;
    qint64 commandNs = 0;  // the Query Master command itself
    qint64 shownNs = 0;    // from the command until every row showed its ping
    std::vector<UiProbe::Gap> gaps;
    Watcher::Seen seen;
};

// Query Master, timed until every one of `listed` rows shows its ping; the
// probe and the event timing run from the command until a little after, so the
// last repaint counts too.
Measurement measureQueryMaster(TimedApplication& app, MainWindow& window, int listed) {
    ServerListView& list = window.serverList();
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
    QTimer end;
    end.setSingleShot(true);
    QObject::connect(&end, &QTimer::timeout, &loop, &QEventLoop::quit);
    UiProbe probe(clock, [&] {
        if (result.finished || !cleared || !rows.check()) {
            return;
        }
        result.finished = true;
        result.shownNs = clock.nsecsElapsed() - result.triggeredNs;
        end.start(200);
    });
    Watcher watcher(clock, probe.lastTickNs);
    QTimer trigger;
    trigger.setSingleShot(true);
    QObject::connect(&trigger, &QTimer::timeout, [&] {
        app.startRecording(clock, probe.timer());
        probe.startRecording();
        result.triggeredNs = clock.nsecsElapsed();
        window.findChild<QAction*>(QString::fromLatin1(kQueryMaster))->trigger();
        result.commandNs = clock.nsecsElapsed() - result.triggeredNs;
        end.start(kSweepTimeoutMs);
    });
    trigger.start(100);
    loop.exec();
    app.stopRecording();
    result.gaps = std::move(probe.gaps);
    result.seen = watcher.finish();
    return result;
}

// How much of the gap the reference thread was held too.
qint64 sharedStallNs(const UiProbe::Gap& gap, const std::vector<Watcher::Stall>& stalls) {
    qint64 shared = 0;
    for (const Watcher::Stall& stall : stalls) {
        shared += std::max<qint64>(std::min(gap.toNs, stall.toNs) - std::max(gap.fromNs, stall.fromNs), 0);
    }
    return shared;
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
    // Each gap as measured, and less the time the machine held the thread:
    // waiting for a processor, or while the reference thread was held too. A
    // gap through which the thread slept once, and was seen only asleep on a
    // due timer, counts its processor time alone. What is left is the most the
    // program's own doing can have taken.
    std::map<qint64, bool> idleGaps;  // by the tick they follow
    for (const Watcher::UiSample& sample : sweep.seen.samples) {
        const auto [entry, added] = idleGaps.emplace(sample.sinceTickNs, sample.idleOnDueTimer);
        entry->second = entry->second && sample.idleOnDueTimer;
    }
    std::vector<qint64> late;
    std::vector<qint64> own;
    std::vector<qint64> shared;
    std::vector<bool> idle;
    for (const UiProbe::Gap& gap : sweep.gaps) {
        const auto seen = idleGaps.find(gap.fromNs);
        idle.push_back(seen != idleGaps.end() && seen->second && gap.spent.sleeps <= 1);
        shared.push_back(sharedStallNs(gap, sweep.seen.stalls));
        late.push_back(gap.lateNs());
        own.push_back(idle.back()
                          ? std::min(gap.lateNs(), gap.spent.cpuNs)
                          : std::max<qint64>(gap.lateNs() - std::max(gap.spent.waitNs, shared.back()), 0));
    }
    const auto over = [](const std::vector<qint64>& gaps) {
        return std::count_if(gaps.begin(), gaps.end(), [](qint64 ns) { return ns > kFrameNs; });
    };
    const auto longest = [](const std::vector<qint64>& gaps) {
        return gaps.empty() ? 0 : *std::max_element(gaps.begin(), gaps.end());
    };
    const auto at = [&sweep](qint64 ns) { return ms(ns - sweep.triggeredNs); };

    std::printf("UI thread during the sweep (probe every 1 ms: %zu ticks)\n", sweep.gaps.size());
    std::printf(
        "  (the program's own: at most; less the time waiting for a processor or the reference\n"
        "   thread was held too; only the processor time where it slept on a due timer throughout)\n");
    std::printf("                         as measured   the program's own\n");
    std::printf("  longest gap            %8.2f ms   %8.2f ms   (target < 16)\n", ms(longest(late)),
                ms(longest(own)));
    std::printf("  99th percentile gap    %8.2f ms   %8.2f ms\n", ms(percentile(late, 0.99)),
                ms(percentile(own, 0.99)));
    std::printf("  gaps over 16 ms        %8td      %8td\n", over(late), over(own));

    std::vector<std::pair<EventKey, EventKind>> kinds(app.kinds.begin(), app.kinds.end());
    std::sort(kinds.begin(), kinds.end(),
              [](const auto& a, const auto& b) { return a.second.longestNs > b.second.longestNs; });
    if (!kinds.empty()) {
        std::printf("  longest event          %8.2f ms   %s at %+.0f ms\n",
                    ms(kinds.front().second.longestNs), describe(kinds.front().first).c_str(),
                    at(kinds.front().second.longestAtNs));
    }
    std::printf("  events over 16 ms      %8td\n",
                std::count_if(app.longEvents.begin(), app.longEvents.end(),
                              [](const LongEvent& event) { return event.tookNs > kFrameNs; }));
    std::printf("  Query Master command   %8.2f ms\n", ms(sweep.commandNs));

    const auto printGaps = [&](const char* title, const std::vector<qint64>& by) {
        std::vector<size_t> order(sweep.gaps.size());
        for (size_t i = 0; i < order.size(); ++i) {
            order[i] = i;
        }
        const size_t shown = std::min<size_t>(order.size(), 5);
        std::partial_sort(order.begin(), order.begin() + static_cast<std::ptrdiff_t>(shown), order.end(),
                          [&by](size_t a, size_t b) { return by[a] > by[b]; });
        std::printf(
            "%s\n        at      late  running  waiting reference     own sleeps faults  events of 2 ms+\n",
            title);
        for (size_t k = 0; k < shown; ++k) {
            const size_t i = order[k];
            const UiProbe::Gap& gap = sweep.gaps[i];
            std::printf("  %+7.0f ms %6.2f ms %6.2f %8.2f %8.2f %8.2f %6ld %6ld", at(gap.fromNs), ms(late[i]),
                        ms(gap.spent.cpuNs), ms(gap.spent.waitNs), ms(shared[i]), ms(own[i]),
                        gap.spent.sleeps, gap.spent.faults);
            if (idle[i]) {
                std::printf("  asleep on a due timer");
            }
            for (const LongEvent& event : app.longEvents) {
                if (event.startNs < gap.toNs && event.startNs + event.tookNs > gap.fromNs) {
                    std::printf("  %s %.2f ms", describe(event.key).c_str(), ms(event.tookNs));
                }
            }
            std::printf("\n");
            int printed = 0;
            for (const Watcher::UiSample& sample : sweep.seen.samples) {
                if (sample.sinceTickNs == gap.fromNs && printed++ < 2) {
                    std::printf("      %.0f ms in, the UI thread's syscall: %s; its kernel stack: %s\n",
                                ms(sample.atNs - gap.fromNs), sample.syscall.c_str(), sample.stack.c_str());
                }
            }
        }
    };
    printGaps("longest gaps as measured", late);
    printGaps("longest gaps of the program's own", own);

    std::printf("slowest kinds of event\n  longest         at    count    total  receiver and event\n");
    for (size_t i = 0; i < std::min<size_t>(kinds.size(), 8); ++i) {
        const EventKind& kind = kinds[i].second;
        std::printf("  %6.2f ms %+8.0f ms %7d %6.0f ms  %s\n", ms(kind.longestNs), at(kind.longestAtNs),
                    kind.count, ms(kind.totalNs), describe(kinds[i].first).c_str());
    }
}

void printLoad(const char* when) {
    double load[3] = {};
    if (getloadavg(load, 3) == 3) {
        std::printf("load average %-10s %.2f %.2f %.2f (%d processors)\n", when, load[0], load[1], load[2],
                    QThread::idealThreadCount());
    }
}

int run(int argc, char** argv) {
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
            count = benchServerCount(argv[i]);
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
    std::printf("servers                %d; the master lists the first %d, %td of them silent\n", count,
                listedRows,
                std::count_if(listed.begin(), listed.end(), [](const BenchServer& s) { return s.silent; }));

    PrintedMessageBoxes boxes(false);
    const ShellConfig config = benchShellConfig(folder, sim, boxes);

    const double idealMs = idealSweepMs(listed);
    {
        Application program(config, boxes);
        if (!startLoggedIn(program, sim)) {
            return 1;
        }
        MainWindow& window = *program.mainWindow();
        PingedRows rows(window.serverList(), listedRows);
        if (!QTest::qWaitFor([&rows] { return rows.check(); }, kSweepTimeoutMs)) {
            std::fprintf(stderr, "the first sweep did not finish\n");
            return 1;
        }
        for (const bool fast : {false, true}) {
            QAction* fastRefresh = window.findChild<QAction*>(QStringLiteral("fastRefresh"));
            if (fastRefresh->isChecked() != fast) {
                fastRefresh->trigger();
            }
            // Late answers of the sweep before land before the next begins.
            QTest::qWait(500);
            app.forgetRecorded();
            const Measurement sweep = measureQueryMaster(app, window, listedRows);
            if (!sweep.finished) {
                std::fprintf(stderr, "the list was not shown and pinged within %d s\n",
                             kSweepTimeoutMs / 1000);
                return 1;
            }
            std::printf("%s: Query Master until every listed row shows its ping\n",
                        fast ? "fast refresh" : "paced sweep");
            std::printf("  shown after            %.0f ms", ms(sweep.shownNs));
            if (fast) {
                std::printf("   (target <= 2000)\n");
            } else {
                std::printf("\n  ideal time             %.0f ms\n", idealMs);
                std::printf("  shown / ideal          %.4f   (target <= 1.05)\n",
                            ms(sweep.shownNs) / idealMs);
            }
            reportUiThread(app, sweep);
        }
        window.close();
    }

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

}  // namespace

int main(int argc, char** argv) {
    return benchMain(run, argc, argv);
}
