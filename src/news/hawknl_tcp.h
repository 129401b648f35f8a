#pragma once

#include <chrono>
#include <cstdint>

#include "net/net_address.h"

// The few HawkNL calls the news check makes, over the project's own TcpSocket.
// Only IP networks and reliable (TCP) sockets exist.
//
// All state (whether the layer is started, the open sockets, the wait slice and
// the last error) belongs to the calling thread: a socket is used on the thread
// that opened it, and nlShutdown closes that thread's sockets only.
//
// Waits are bounded. nlConnect only starts a connection; until it is made,
// nlWrite and nlRead fail with NL_CON_PENDING. With NL_BLOCKING_IO enabled each
// call waits up to the wait slice for the socket before giving up (nlRead then
// returns 0), so a caller can check a stop flag between calls; without it they
// return at once.

using NLboolean = uint8_t;
using NLenum = uint32_t;
using NLint = int32_t;
using NLushort = uint16_t;
using NLsocket = int32_t;

inline constexpr NLboolean NL_FALSE = 0;
inline constexpr NLboolean NL_TRUE = 1;
inline constexpr NLsocket NL_INVALID = -1;

// Network type for nlSelectNetwork.
inline constexpr NLenum NL_IP = 0x0003;
// Option for nlEnable: calls wait (up to the slice) instead of returning at once.
inline constexpr NLenum NL_BLOCKING_IO = 0x0041;
// Socket type for nlOpen: a reliable stream (TCP).
inline constexpr NLenum NL_RELIABLE = 0x0010;

// Error codes of nlGetError.
inline constexpr NLenum NL_NO_ERROR = 0x0000;
inline constexpr NLenum NL_NO_NETWORK = 0x0101;      // nlInit or nlSelectNetwork missing
inline constexpr NLenum NL_INVALID_ENUM = 0x0103;    // unknown network, option or socket type
inline constexpr NLenum NL_INVALID_SOCKET = 0x0104;  // not an open socket of this thread
inline constexpr NLenum NL_SYSTEM_ERROR = 0x0106;    // see nlGetSystemError
inline constexpr NLenum NL_BAD_ADDR = 0x010B;        // unresolved or unset address
inline constexpr NLenum NL_MESSAGE_END = 0x010C;     // the peer closed the connection
inline constexpr NLenum NL_NULL_POINTER = 0x010D;
inline constexpr NLenum NL_CON_PENDING = 0x0114;  // the connection is still being made
// Set by callers through nlSetError when they give up on a transfer.
inline constexpr NLenum NL_TIMED_OUT = 0x0120;
inline constexpr NLenum NL_TOO_LARGE = 0x0121;

struct NLaddress {
    NetAddress address;
    NLboolean valid = NL_FALSE;
};

// Starts the platform's socket layer for this thread. Calling it again is harmless.
NLboolean nlInit();
// Closes this thread's sockets and ends what nlInit started.
void nlShutdown();
// Only NL_IP is accepted.
NLboolean nlSelectNetwork(NLenum network);
// Only NL_BLOCKING_IO is accepted.
NLboolean nlEnable(NLenum name);

// Resolves "host[:port]" (dotted numbers or a name). On failure `address`
// becomes invalid, so a later nlConnect fails with NL_BAD_ADDR.
NLboolean nlGetAddrFromName(const char* name, NLaddress* address);
NLboolean nlSetAddrPort(NLaddress* address, NLushort port);

// Opens a socket of `type` (NL_RELIABLE only), bound to `port` when not 0.
// Returns NL_INVALID on failure.
NLsocket nlOpen(NLushort port, NLenum type);
// Starts connecting; see the header comment for how the outcome is learnt.
NLboolean nlConnect(NLsocket socket, const NLaddress* address);
// Returns the bytes sent, or -1 with the error set (NL_CON_PENDING while
// connecting, NL_SYSTEM_ERROR for a refused or broken connection).
NLint nlWrite(NLsocket socket, const void* buffer, NLint nbytes);
// Returns the bytes read, 0 when none came in time, or -1 with the error set
// (NL_MESSAGE_END once the peer has closed and all was read).
NLint nlRead(NLsocket socket, void* buffer, NLint nbytes);
void nlThreadYield();

// The calling thread's last error, and the platform error number behind the last
// NL_SYSTEM_ERROR. The texts stay valid until the thread's next call for a text.
NLenum nlGetError();
const char* nlGetErrorStr(NLenum err);
NLint nlGetSystemError();
const char* nlGetSystemErrorStr(NLint err);

// Not in HawkNL. How long one call may wait with NL_BLOCKING_IO (default 100 ms).
void nlSetWaitSlice(std::chrono::milliseconds slice);
// Not in HawkNL. Records `err` as this thread's last error.
void nlSetError(NLenum err);
