#include "browser/fast_sweep.h"

#include <algorithm>
#include <deque>
#include <string>

#include "browser/ping_sweep.h"
#include "browser/server_query.h"
#include "browser/server_table.h"

namespace {

using Clock = std::chrono::steady_clock;

// A server to look at again: asked again while unanswered, or, after its last
// retry, marked silent.
struct FollowUp {
    Clock::time_point due;
    int index;
    int retries;  // how many retries it has had
};

}  // namespace

void FastPingSweep(const std::stop_token& stop, uint64_t generation, RowView& serverList) {
    std::condition_variable_any& changed = browserChanged();
    auto lock = lockBrowser();
    const auto current = [&] { return !stop.stop_requested() && serverTableGeneration() == generation; };

    if (current()) {
        forgetPings();
    }
    // Every follow-up is due a fixed time after a query, so they fall due in
    // the order they were queued.
    std::deque<FollowUp> followUps;
    int nextFirst = 0;
    Clock::time_point nextSend = Clock::now();
    while (current() && (nextFirst < server_count || !followUps.empty())) {
        const bool followUpFirst =
            !followUps.empty() && (nextFirst >= server_count || followUps.front().due <= nextSend);
        const Clock::time_point at = followUpFirst ? std::max(followUps.front().due, nextSend) : nextSend;
        if (changed.wait_until(lock, stop, at, [&] { return !current(); })) {
            break;
        }
        int index = 0;
        int retries = 0;
        if (followUpFirst) {
            const FollowUp followUp = followUps.front();
            followUps.pop_front();
            ServerRecord& record = server_table[static_cast<size_t>(followUp.index)];
            if (record.answered) {
                continue;
            }
            if (followUp.retries == kFastRetries) {
                markSilentServer(serverList, followUp.index);
                continue;
            }
            index = followUp.index;
            retries = followUp.retries + 1;
        } else {
            index = nextFirst++;
            // Stamped before sending, so an answer that beats this thread back
            // to the lock is measured against this query.
            markAsked(server_table[static_cast<size_t>(index)]);
        }
        const std::string address = server_table[static_cast<size_t>(index)].address;
        lock.unlock();
        sendServerInfoQuery(address);
        const Clock::time_point sentAt = Clock::now();
        lock.lock();
        nextSend = sentAt + kFastQueryGap;
        followUps.push_back({sentAt + kFastRetryAfter, index, retries});
    }
}
