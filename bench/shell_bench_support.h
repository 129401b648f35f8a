#pragma once

// What the benchmarks of the whole program share: the program started as a
// user starts it, logging in by itself against the simulator, and a check that
// the server list shows its rows with their pings.

#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "launch/unattended_settings.h"
#include "shell/application.h"
#include "shell/main_window.h"
#include "shell/message_boxes.h"
#include "sweep_scenario.h"

inline constexpr char kQueryMaster[] = "queryMaster";  // the command's object name
inline constexpr int kPingColumn = 6;

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

// Settings in `folder` with which the program logs in to `sim` by itself as
// alice, and no news server to reach.
inline ShellConfig benchShellConfig(const std::string& folder, const BenchSimulator& sim,
                                    MessageBoxes& boxes) {
    writeUnattendedSettings(folder, "alice", "wonderland", boxes);
    ShellConfig config;
    config.net = {0, "127.0.0.1"};
    config.masterHost = sim.master;
    config.newsHost = "127.0.0.1:9";
    config.configLocation = folder;
    return config;
}

// Starts `program` as the program starts itself. Returns false when it did not
// start; a log-in that does not finish within a minute would leave its dialog
// waiting for a user, so that ends the process.
inline bool startLoggedIn(Application& program, BenchSimulator& sim) {
    QTimer loginWatch;
    loginWatch.setSingleShot(true);
    QObject::connect(&loginWatch, &QTimer::timeout, [&sim] {
        std::fprintf(stderr, "the log-in did not finish\n");
        sim.stop();
        std::_Exit(1);
    });
    loginWatch.start(60'000);
    const bool started = program.start();
    loginWatch.stop();
    if (!started) {
        std::fprintf(stderr, "the program did not start\n");
    }
    return started;
}
