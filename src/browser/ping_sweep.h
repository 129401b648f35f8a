#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <stop_token>
#include <thread>

#include "browser/row_view.h"

// The paced ping sweep that follows every master list: one ServerInfoQuery at a
// time, the next one 70 ms after the answer came or 100 ms after a silent query;
// at the end every unanswered server shows as silent.

// Owns the sweep thread, which runs the paced sweep or, when chosen, the fast
// refresh (browser/fast_sweep.h); at most one sweep runs. The destructor stops and joins
// it, so `serverList` must outlive this object.
class PingSweeps {
  public:
    explicit PingSweeps(RowView& serverList);
    ~PingSweeps();
    PingSweeps(const PingSweeps&) = delete;
    PingSweeps& operator=(const PingSweeps&) = delete;

    // Stops the running sweep and waits for it (its indexes belong to the table
    // it started on), then starts a new sweep over the table of `generation`
    // (serverTableGeneration() as the caller rebuilt it); a sweep whose table has
    // been rebuilt again since does nothing.
    // Any thread but a sweep's own; never with lockBrowser() held.
    void restart(uint64_t generation);
    // Stops the running sweep, if any, and waits for it. Same rules as restart().
    void stop();
    // Waits until no sweep runs or `timeout` passes; returns whether none runs.
    bool waitIdle(std::chrono::milliseconds timeout);
    // Chooses the sweep that the next restart() runs: the fast refresh, or the
    // paced sweep (the start). A running sweep goes on as it began. Any thread.
    void setFast(bool fast) { m_fast.store(fast); }
    bool fast() const { return m_fast.load(); }

  private:
    void stopLocked();

    RowView& m_serverList;
    std::mutex m_threadMutex;  // guards m_sweep between callers
    std::jthread m_sweep;
    std::mutex m_stateMutex;
    std::condition_variable m_stateChanged;
    bool m_running = false;
    std::atomic<bool> m_fast{false};
};

// The sweep itself: queries records 0 to server_count - 1 in turn, then marks the
// silent ones. Returns early, marking nothing, when `stop` is requested or the
// table is no longer that of `generation`.
void ServerPingSweep(const std::stop_token& stop, uint64_t generation, RowView& serverList);

// Clears every valid record's ping and answer, as a sweep begins.
// Caller holds lockBrowser().
void forgetPings();

// Gives every valid record that has not answered ping 9999 and "***" in its row.
// Caller holds lockBrowser().
void markSilentServers(RowView& serverList);
// The same for the record at `index`, answered or not. Caller holds lockBrowser().
void markSilentServer(RowView& serverList, int index);
