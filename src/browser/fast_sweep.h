#pragma once

#include <chrono>
#include <cstdint>
#include <stop_token>

#include "browser/row_view.h"

// The fast refresh: a ServerInfoQuery to every server in table order, a fixed
// gap apart, without waiting for answers. A server still unanswered after
// kFastRetryAfter is asked again, at most kFastRetries times, and one still
// unanswered kFastRetryAfter after its last query is marked silent. Retries keep
// the first query's `send_time`, so a slow server's ping is never shortened by
// a retry it did not answer.

inline constexpr std::chrono::milliseconds kFastQueryGap{2};  // at most 500 queries a second
inline constexpr std::chrono::milliseconds kFastRetryAfter{250};
inline constexpr int kFastRetries = 2;

// Sweeps the table of `generation` as above. Returns early when `stop` is
// requested or the table is no longer that of `generation`.
void FastPingSweep(const std::stop_token& stop, uint64_t generation, RowView& serverList);
