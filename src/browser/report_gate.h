#pragma once

#include <cstdint>
#include <mutex>

// Paces reports that strangers can set off: one shown at a time, and the next
// only `intervalMs` after the last one began, so a flood of datagrams shows a
// few boxes a minute instead of one per datagram. Thread-safe.
class ReportGate {
  public:
    explicit ReportGate(uint32_t intervalMs) : m_intervalMs(intervalMs) {}

    // Whether a report may be shown at `nowMs` (a Sys_Milliseconds() value). A
    // report let through counts as showing until close().
    bool tryOpen(uint32_t nowMs);
    // The report let through last is gone.
    void close();

  private:
    const uint32_t m_intervalMs;
    std::mutex m_mutex;
    bool m_showing = false;
    bool m_shownBefore = false;
    uint32_t m_lastOpenMs = 0;
};
