#include "news/hawknl_tcp.h"

#include <algorithm>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "net/socket.h"
#include "net/tcp_socket.h"

namespace {

struct LayerState {
    bool started = false;
    bool ipSelected = false;
    bool blocking = false;
    int sliceMs = 100;
    std::vector<std::unique_ptr<TcpSocket>> sockets;  // indexed by NLsocket; null when free
    NLenum error = NL_NO_ERROR;
    NLint systemError = 0;
    std::string systemErrorText;
};

thread_local LayerState layer;

NLboolean fail(NLenum error) {
    layer.error = error;
    return NL_FALSE;
}

NLboolean failSystem(int systemError) {
    layer.systemError = systemError;
    return fail(NL_SYSTEM_ERROR);
}

TcpSocket* find(NLsocket socket) {
    if (socket < 0 || static_cast<size_t>(socket) >= layer.sockets.size() || !layer.sockets[socket]) {
        fail(NL_INVALID_SOCKET);
        return nullptr;
    }
    return layer.sockets[socket].get();
}

int waitMs() {
    return layer.blocking ? layer.sliceMs : 0;
}

// Completes a connection that nlConnect left in progress. False with the error
// set while it is still pending or when it failed.
bool connected(TcpSocket& socket) {
    const TcpResult r = socket.finishConnect(waitMs());
    switch (r.status) {
        case TcpStatus::Done:
            return true;
        case TcpStatus::WouldBlock:
            fail(NL_CON_PENDING);
            return false;
        default:
            failSystem(r.error);
            return false;
    }
}

// The connected socket for a read or write of `nbytes` at `buffer`; none, with
// the error recorded, for a bad socket, bad arguments or a connection not made.
TcpSocket* transferSocket(NLsocket socket, const void* buffer, NLint nbytes) {
    TcpSocket* s = find(socket);
    if (s == nullptr) {
        return nullptr;
    }
    if (buffer == nullptr || nbytes < 0) {
        fail(NL_NULL_POINTER);
        return nullptr;
    }
    return connected(*s) ? s : nullptr;
}

}  // namespace

NLboolean nlInit() {
    if (layer.started) {
        return NL_TRUE;
    }
    layer.error = NL_NO_ERROR;
    if (!SOCK_Startup()) {
        return failSystem(0);
    }
    layer.started = true;
    return NL_TRUE;
}

void nlShutdown() {
    layer.sockets.clear();
    if (layer.started) {
        SOCK_Cleanup();
    }
    layer.started = false;
    layer.ipSelected = false;
    layer.blocking = false;
}

NLboolean nlSelectNetwork(NLenum network) {
    if (!layer.started) {
        return fail(NL_NO_NETWORK);
    }
    if (network != NL_IP) {
        return fail(NL_INVALID_ENUM);
    }
    layer.ipSelected = true;
    return NL_TRUE;
}

NLboolean nlEnable(NLenum name) {
    if (name != NL_BLOCKING_IO) {
        return fail(NL_INVALID_ENUM);
    }
    layer.blocking = true;
    return NL_TRUE;
}

NLboolean nlGetAddrFromName(const char* name, NLaddress* address) {
    if (name == nullptr || address == nullptr) {
        return fail(NL_NULL_POINTER);
    }
    *address = NLaddress{};
    if (!layer.ipSelected) {
        return fail(NL_NO_NETWORK);
    }
    if (!NET_StringToAdr(name, address->address)) {
        return fail(NL_BAD_ADDR);
    }
    address->valid = NL_TRUE;
    return NL_TRUE;
}

NLboolean nlSetAddrPort(NLaddress* address, NLushort port) {
    if (address == nullptr) {
        return fail(NL_NULL_POINTER);
    }
    NET_SetPort(address->address, port);
    return NL_TRUE;
}

NLsocket nlOpen(NLushort port, NLenum type) {
    if (!layer.ipSelected) {
        fail(NL_NO_NETWORK);
        return NL_INVALID;
    }
    if (type != NL_RELIABLE) {
        fail(NL_INVALID_ENUM);
        return NL_INVALID;
    }
    auto socket = std::make_unique<TcpSocket>();
    int error = 0;
    if (!socket->open(&error)) {
        failSystem(error);
        return NL_INVALID;
    }
    if (port != 0) {
        NetAddress local;
        NET_SetPort(local, port);
        if (!socket->bind(local)) {
            failSystem(0);
            return NL_INVALID;
        }
    }
    size_t slot = 0;
    while (slot < layer.sockets.size() && layer.sockets[slot]) {
        ++slot;
    }
    if (slot == layer.sockets.size()) {
        layer.sockets.emplace_back();
    }
    layer.sockets[slot] = std::move(socket);
    return static_cast<NLsocket>(slot);
}

NLboolean nlConnect(NLsocket socket, const NLaddress* address) {
    TcpSocket* s = find(socket);
    if (s == nullptr) {
        return NL_FALSE;
    }
    if (address == nullptr) {
        return fail(NL_NULL_POINTER);
    }
    if (address->valid == NL_FALSE) {
        return fail(NL_BAD_ADDR);
    }
    const TcpResult r = s->connect(address->address, waitMs());
    if (r.status == TcpStatus::Failed) {
        return failSystem(r.error);
    }
    return NL_TRUE;
}

NLint nlWrite(NLsocket socket, const void* buffer, NLint nbytes) {
    TcpSocket* s = transferSocket(socket, buffer, nbytes);
    if (s == nullptr) {
        return -1;
    }
    const std::span bytes(static_cast<const uint8_t*>(buffer), static_cast<size_t>(nbytes));
    size_t sent = 0;
    // Blocking writes go on while the peer takes bytes within a slice each time.
    do {
        const TcpResult r = s->write(bytes.subspan(sent), waitMs());
        if (r.status == TcpStatus::Failed) {
            failSystem(r.error);
            return -1;
        }
        if (r.status != TcpStatus::Done || r.length == 0) {
            break;
        }
        sent += static_cast<size_t>(r.length);
    } while (layer.blocking && sent < bytes.size());
    return static_cast<NLint>(sent);
}

NLint nlRead(NLsocket socket, void* buffer, NLint nbytes) {
    TcpSocket* s = transferSocket(socket, buffer, nbytes);
    if (s == nullptr) {
        return -1;
    }
    const TcpResult r =
        s->read(std::span(static_cast<uint8_t*>(buffer), static_cast<size_t>(nbytes)), waitMs());
    switch (r.status) {
        case TcpStatus::Done:
            return r.length;
        case TcpStatus::WouldBlock:
            return 0;
        case TcpStatus::Closed:
            fail(NL_MESSAGE_END);
            return -1;
        default:
            failSystem(r.error);
            return -1;
    }
}

void nlThreadYield() {
    std::this_thread::yield();
}

NLenum nlGetError() {
    return layer.error;
}

const char* nlGetErrorStr(NLenum err) {
    switch (err) {
        case NL_NO_ERROR:
            return "No error";
        case NL_NO_NETWORK:
            return "Network not started";
        case NL_INVALID_ENUM:
            return "Unsupported network, option or socket type";
        case NL_INVALID_SOCKET:
            return "Not an open socket";
        case NL_SYSTEM_ERROR:
            return "System error";
        case NL_BAD_ADDR:
            return "Host not found or address not valid";
        case NL_MESSAGE_END:
            return "Connection closed by the peer";
        case NL_NULL_POINTER:
            return "Missing argument";
        case NL_CON_PENDING:
            return "Connection still in progress";
        case NL_TIMED_OUT:
            return "Transfer timed out";
        case NL_TOO_LARGE:
            return "Transfer too large";
        default:
            return "Unknown error";
    }
}

NLint nlGetSystemError() {
    return layer.systemError;
}

const char* nlGetSystemErrorStr(NLint err) {
    layer.systemErrorText = err == 0 ? "Unknown system error" : SOCK_ErrorText(err);
    return layer.systemErrorText.c_str();
}

void nlSetWaitSlice(std::chrono::milliseconds slice) {
    layer.sliceMs = static_cast<int>(std::max<std::chrono::milliseconds::rep>(0, slice.count()));
}

void nlSetError(NLenum err) {
    layer.error = err;
}
