#include "browser/report_gate.h"

bool ReportGate::tryOpen(uint32_t nowMs) {
    const std::scoped_lock lock(m_mutex);
    // Unsigned difference: right across the clock's wrap.
    if (m_showing || (m_shownBefore && nowMs - m_lastOpenMs < m_intervalMs)) {
        return false;
    }
    m_showing = true;
    m_shownBefore = true;
    m_lastOpenMs = nowMs;
    return true;
}

void ReportGate::close() {
    const std::scoped_lock lock(m_mutex);
    m_showing = false;
}
