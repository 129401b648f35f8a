#include "browser/ping_sweep.h"

#include <algorithm>
#include <string>

#include "browser/fast_sweep.h"
#include "browser/server_query.h"
#include "browser/server_rows.h"
#include "browser/server_table.h"

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr milliseconds kAnswerWait{100};
// The next query goes out once more than ping + 70 whole milliseconds have passed
// since the query: ping + 71 on the millisecond count, which `ping` is measured
// on, keeps the gap after the answer at 70 ms or more.
constexpr int kGapAfterAnswerMs = 71;

}  // namespace

PingSweeps::PingSweeps(RowView& serverList) : m_serverList(serverList) {}

PingSweeps::~PingSweeps() {
    stop();
}

void PingSweeps::restart(uint64_t generation) {
    const std::scoped_lock lock(m_threadMutex);
    stopLocked();
    {
        const std::scoped_lock state(m_stateMutex);
        m_running = true;
    }
    m_sweep = std::jthread([this, generation, fast = m_fast.load()](const std::stop_token& stop) {
        if (fast) {
            FastPingSweep(stop, generation, m_serverList);
        } else {
            ServerPingSweep(stop, generation, m_serverList);
        }
        const std::scoped_lock state(m_stateMutex);
        m_running = false;
        m_stateChanged.notify_all();
    });
}

void PingSweeps::stop() {
    const std::scoped_lock lock(m_threadMutex);
    stopLocked();
}

bool PingSweeps::waitIdle(std::chrono::milliseconds timeout) {
    std::unique_lock state(m_stateMutex);
    return m_stateChanged.wait_for(state, timeout, [this] { return !m_running; });
}

void PingSweeps::stopLocked() {
    if (m_sweep.joinable()) {
        m_sweep.request_stop();
        m_sweep.join();
    }
}

void ServerPingSweep(const std::stop_token& stop, uint64_t generation, RowView& serverList) {
    std::condition_variable_any& changed = browserChanged();
    auto lock = lockBrowser();
    const auto current = [&] { return !stop.stop_requested() && serverTableGeneration() == generation; };

    if (current()) {
        forgetPings();
    }
    for (int i = 0; current() && i < server_count; ++i) {
        ServerRecord& record = server_table[static_cast<size_t>(i)];
        // Stamped before sending, so an answer that beats this thread back to the
        // lock is measured against this query and not an older one.
        markAsked(record);
        const std::string address = record.address;
        const Clock::time_point sentAt = Clock::now();
        lock.unlock();
        sendServerInfoQuery(address);
        lock.lock();

        changed.wait_until(lock, stop, sentAt + kAnswerWait, [&] { return record.answered || !current(); });
        if (record.answered) {
            const Clock::time_point next =
                sentAt + milliseconds(std::max(record.ping, 0) + kGapAfterAnswerMs);
            changed.wait_until(lock, stop, next, [&] { return !current(); });
        }
    }
    if (current()) {
        markSilentServers(serverList);
    }
}

void forgetPings() {
    for (int i = 0; i < server_count; ++i) {
        server_table[static_cast<size_t>(i)].ping = 0;
        server_table[static_cast<size_t>(i)].answered = false;
    }
}

void markSilentServers(RowView& serverList) {
    for (int i = 0; i < server_count; ++i) {
        if (!server_table[static_cast<size_t>(i)].answered) {
            markSilentServer(serverList, i);
        }
    }
}

void markSilentServer(RowView& serverList, int index) {
    server_table[static_cast<size_t>(index)].ping = kSilentPing;
    if (const std::optional<int> row = serverList.findRow(index)) {
        serverList.setCell(*row, column(ServerColumn::Ping), std::string(kSilentPingText));
    }
}
