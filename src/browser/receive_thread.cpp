#include "browser/receive_thread.h"

#include <condition_variable>
#include <mutex>

#include "net/transport.h"

ReceiveThread::ReceiveThread(Dispatcher& dispatcher, std::chrono::milliseconds waitSlice)
    : m_dispatcher(dispatcher),
      m_waitMs(static_cast<int>(waitSlice.count())),
      m_thread([this](const std::stop_token& stop) { BV_RunTics(stop); }) {}

ReceiveThread::~ReceiveThread() {
    stop();
}

void ReceiveThread::stop() {
    if (m_thread.joinable()) {
        m_thread.request_stop();
        m_thread.join();
    }
}

void ReceiveThread::BV_RunTics(const std::stop_token& stop) {
    std::mutex idleMutex;
    std::condition_variable_any idle;
    while (!stop.stop_requested()) {
        if (NET_Wait(m_waitMs) < 0) {
            // A closed or failing socket returns at once; do not spin on it.
            std::unique_lock lock(idleMutex);
            idle.wait_for(lock, stop, std::chrono::milliseconds(m_waitMs), [] { return false; });
            continue;
        }
        const auto lock = NET_LockReceive();
        while (!stop.stop_requested() && BV_GetPackets() > 0) {
            if (!m_dispatcher.dispatchMessage(net_message, net_from, net_arrival_time)) {
                break;
            }
        }
    }
}
