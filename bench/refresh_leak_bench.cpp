// Whether the program gives back what refreshing the server list takes. The
// program logs in by itself against the simulator's 300 game servers (every
// tenth silent, the others answering within a few milliseconds) and runs Query
// Master 100 times, each time until the new list is shown and the sweep has
// passed its first 20 rows, two silent ones among them; the sweep of the rest
// is cut short by the next refresh, as a user's impatient clicks cut it.
// Reported:
// - the resident memory after each tenth refresh, and its growth from the 10th
//   to the last (target at most 1 MB), with the heap in use beside it;
// - the leak checker's verdict: the same program linked with LeakSanitizer
//   (refresh_leak_bench_lsan, built beside this one) runs ten refreshes, shuts
//   the program down and exits; LeakSanitizer's report is printed to standard
//   error and its exit status is the verdict.
// A full sweep per refresh would take over 20 s at the sweep's pacing; its
// first rows take every path of a reply and of a silence, and what a sweep
// keeps per row is fixed in size.
//
// Usage: refresh_leak_bench PELLRIG_SIM [SERVERS] [--refreshes N]

#include <malloc.h>
#include <unistd.h>

#include <QAbstractItemModel>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidgetItem>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "child_process.h"
#include "shell/server_list_view.h"
#include "shell_bench_support.h"

#ifdef PELLRIG_LEAK_CHECK_RUN
// Library frames beyond the first go unrecorded without frame pointers;
// unwinding from the tables instead keeps a report's stacks whole.
extern "C" const char* __lsan_default_options() {
    return "fast_unwind_on_malloc=0:malloc_context_size=40";
}
#endif

namespace {

constexpr int kDefaultServers = 300;
constexpr int kDefaultRefreshes = 100;
constexpr int kLeakCheckRefreshes = 10;
constexpr int kSweptPerRefresh = 20;
constexpr int kRefreshTimeoutMs = 60'000;

// Answers within 1 to 4 ms, every tenth silent: the sweep's pacing, not the
// servers, sets its speed. A silent server's row shows its mark only when the
// whole sweep is over, so the last of every ten answers.
std::vector<BenchServer> quickServers(int count) {
    std::vector<BenchServer> servers;
    servers.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        servers.push_back({1.0 + i % 4, i % 10 == 5});
    }
    return servers;
}

long long residentBytes() {
    long long pages = 0;
    long long resident = 0;
    std::ifstream("/proc/self/statm") >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// What the allocator has handed out and not had back.
long long heapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<long long>(info.uordblks + info.hblkhd);
}

// Query Master, then waits until the new list shows `listed` rows and the
// sweep, which goes down the server table, has pinged the server at `last`.
// False when that takes too long.
bool refresh(MainWindow& window, int listed, int last) {
    ServerListView& list = window.serverList();
    // The old rows stay, pinged, until the list applies the clear.
    bool cleared = false;
    QTreeWidgetItem* watched = nullptr;
    const QObject watching;
    QObject::connect(list.model(), &QAbstractItemModel::modelReset, &watching, [&] {
        cleared = true;
        watched = nullptr;
    });
    window.findChild<QAction*>(QString::fromLatin1(kQueryMaster))->trigger();
    return QTest::qWaitFor(
        [&] {
            if (!cleared || list.topLevelItemCount() != listed) {
                return false;
            }
            // A row's item data is its server's place in the table; the newest
            // server is inserted on top.
            for (int row = 0; watched == nullptr && row < listed; ++row) {
                if (list.topLevelItem(row)->data(0, Qt::UserRole).toInt() == last) {
                    watched = list.topLevelItem(row);
                }
            }
            return watched != nullptr && !watched->text(kPingColumn).isEmpty();
        },
        kRefreshTimeoutMs);
}

struct Reading {
    int refresh;
    double seconds;  // since the first refresh began
    long long resident;
    long long heap;
};

#ifdef PELLRIG_LEAK_CHECK_RUN

// LeakSanitizer checks when the program exits, all of it shut down by then.
int finish(const std::vector<Reading>& readings, std::optional<int> simStatus, double seconds, const char*,
           int) {
    std::printf("%zu refreshes in %.0f s; the leak check follows at exit\n", readings.size(), seconds);
    return simStatus == 0 ? 0 : 1;
}

#else

constexpr int kMeasuredFrom = 10;  // the refreshes before it settle caches and pools
constexpr long long kTargetGrowth = 1 << 20;
constexpr int kLeakSanitizerExitCode = 23;

double mib(long long bytes) {
    return static_cast<double>(bytes) / (1 << 20);
}

// Least-squares growth per refresh over `readings`.
double slope(const std::vector<Reading>& readings, long long Reading::*field) {
    double meanX = 0;
    double meanY = 0;
    for (const Reading& reading : readings) {
        meanX += reading.refresh;
        meanY += static_cast<double>(reading.*field);
    }
    meanX /= static_cast<double>(readings.size());
    meanY /= static_cast<double>(readings.size());
    double covariance = 0;
    double variance = 0;
    for (const Reading& reading : readings) {
        covariance += (reading.refresh - meanX) * (static_cast<double>(reading.*field) - meanY);
        variance += (reading.refresh - meanX) * (reading.refresh - meanX);
    }
    return variance > 0 ? covariance / variance : 0;
}

void report(const std::vector<Reading>& readings) {
    std::printf("refresh   after    resident   heap in use\n");
    for (const Reading& reading : readings) {
        if (reading.refresh % 10 == 0 || reading.refresh == 1) {
            std::printf("%7d %6.0f s %8.2f MiB %9.2f MiB\n", reading.refresh, reading.seconds,
                        mib(reading.resident), mib(reading.heap));
        }
    }
    if (readings.size() <= static_cast<size_t>(kMeasuredFrom)) {
        return;
    }
    const std::vector<Reading> measured(readings.begin() + (kMeasuredFrom - 1), readings.end());
    const Reading& first = measured.front();
    const Reading& last = measured.back();
    std::printf("from refresh %d to %d\n", first.refresh, last.refresh);
    std::printf("  resident growth        %+.0f KiB   (target <= %lld KiB)\n",
                static_cast<double>(last.resident - first.resident) / 1024, kTargetGrowth / 1024);
    std::printf("  heap in use growth     %+.0f KiB\n", static_cast<double>(last.heap - first.heap) / 1024);
    std::printf("  per refresh, fitted    resident %+.1f KiB, heap %+.1f KiB\n",
                slope(measured, &Reading::resident) / 1024, slope(measured, &Reading::heap) / 1024);
}

// Runs the LeakSanitizer build of this program and tells its verdict.
bool leakCheck(const char* simulator, int servers) {
    std::printf("leak check: %s, %d refreshes\n", PELLRIG_LEAK_CHECK_PROGRAM, kLeakCheckRefreshes);
    std::fflush(stdout);
    const ProgramRun run =
        runToEnd(PELLRIG_LEAK_CHECK_PROGRAM,
                 {simulator, std::to_string(servers), "--refreshes", std::to_string(kLeakCheckRefreshes)},
                 ChildProcess::Output::StdoutOnly, {}, std::chrono::minutes(5));
    if (run.exitCode == 0) {
        std::printf("  verdict                no leaks\n");
        return true;
    }
    if (run.exitCode == kLeakSanitizerExitCode) {
        std::printf("  verdict                LEAKS, reported above\n");
    } else {
        std::printf("  verdict                none: the run failed (exit status %d)\n%s",
                    run.exitCode.value_or(-1), run.output.c_str());
    }
    return false;
}

int finish(const std::vector<Reading>& readings, std::optional<int> simStatus, double seconds,
           const char* simulator, int servers) {
    report(readings);
    std::printf("  time                   %.0f s for %zu refreshes\n", seconds, readings.size());
    if (simStatus != 0) {
        std::printf("pellrig-sim did not stop cleanly\n");
    }
    const bool clean = leakCheck(simulator, servers);
    const long long growth = readings.size() > static_cast<size_t>(kMeasuredFrom)
                                 ? readings.back().resident - readings[kMeasuredFrom - 1].resident
                                 : 0;
    return clean && growth <= kTargetGrowth && simStatus == 0 ? 0 : 1;
}

#endif

int run(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: refresh_leak_bench PELLRIG_SIM [SERVERS] [--refreshes N]\n");
        return 2;
    }
    int count = kDefaultServers;
    int refreshes = kDefaultRefreshes;
    for (int i = 2; i < argc; ++i) {
        if (std::string(argv[i]) == "--refreshes" && i + 1 < argc) {
            refreshes = std::max(1, std::atoi(argv[++i]));
        } else {
            count = benchServerCount(argv[i]);
        }
    }

    QTemporaryDir work;
    const std::string folder = work.path().toStdString();
    writeBenchScenario(quickServers(count), folder + "/scenario.json");
    BenchSimulator sim;
    std::string error;
    if (!sim.start(argv[1], folder + "/scenario.json", error)) {
        std::fprintf(stderr, "cannot start the simulator: %s\n", error.c_str());
        return 1;
    }
    const auto listed = static_cast<int>(sim.listed);
    std::printf("servers %d, the master lists %d; %d refreshes, each until the sweep has passed %d rows\n",
                count, listed, refreshes, kSweptPerRefresh);
    std::fflush(stdout);

    const auto started = std::chrono::steady_clock::now();
    std::vector<Reading> readings;
    {
        PrintedMessageBoxes boxes(false);
        Application program(benchShellConfig(folder, sim, boxes), boxes);
        if (!startLoggedIn(program, sim)) {
            return 1;
        }
        MainWindow& window = *program.mainWindow();
        for (int i = 1; i <= refreshes; ++i) {
            if (!refresh(window, listed, std::min(kSweptPerRefresh, listed) - 1)) {
                std::fprintf(stderr, "refresh %d: the list was not shown and pinged within %d s\n", i,
                             kRefreshTimeoutMs / 1000);
                return 1;
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            readings.push_back(
                {i, std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(),
                 residentBytes(), heapInUse()});
        }
        window.close();
    }
    const std::optional<int> simStatus = sim.stop();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return finish(readings, simStatus, seconds, argv[1], count);
}

}  // namespace

int main(int argc, char** argv) {
    return benchMain(run, argc, argv);
}
