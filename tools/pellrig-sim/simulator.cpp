#include "simulator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <utility>

#include "replies.h"

namespace {

using std::chrono::microseconds;

// Longest sleep without anything due: bounds how late a stop request is seen
// should no signal interrupt the wait.
constexpr microseconds kIdleWait{100'000};
// Datagrams taken from one socket per wake-up, so one busy port cannot starve the rest.
constexpr int kDrainBatch = 64;
constexpr size_t kMaxPending = 1 << 16;
constexpr size_t kReceiveBufferSize = 65536;

microseconds toMicroseconds(double milliseconds) {
    return microseconds(std::llround(milliseconds * 1000.0));
}

bool isWildcard(const NetAddress& address) {
    return address.ip == std::array<uint8_t, 4>{0, 0, 0, 0};
}

}  // namespace

Simulator::Simulator(Scenario scenario, SimulatorOptions options)
    : m_scenario(std::move(scenario)), m_options(std::move(options)), m_datagram(kReceiveBufferSize) {
    SZ_Init(m_message, kLauncherMessageSize);
}

Simulator::~Simulator() = default;

bool Simulator::start(std::string& error) {
    const size_t count = m_scenario.servers.size();
    m_servers.clear();
    for (size_t i = 0; i < count; ++i) {
        const ScenarioServer& server = m_scenario.servers[i];
        auto reply = std::make_shared<Datagram>();
        if (!buildServerInfoReply(server, *reply, error)) {
            error.insert(0, "server " + std::to_string(i) + ": ");
            return false;
        }
        m_servers.push_back(GameServer{std::move(reply), toMicroseconds(server.delayMs), server.silent});
    }

    m_accounts = std::make_unique<MasterAccounts>(m_options.accounts);
    if (!m_accounts->open(error)) {
        return false;
    }

    m_sockets.clear();
    m_sockets.reserve(count + 1);
    if (!bindSocket(m_options.masterPort, m_masterAddress, error)) {
        error.insert(0, "master: ");
        return false;
    }
    m_serverAddresses.clear();
    std::vector<MasterListEntry> entries;
    for (size_t i = 0; i < count; ++i) {
        const ScenarioServer& server = m_scenario.servers[i];
        uint32_t port = server.port;
        if (port == 0 && m_options.basePort != 0) {
            port = m_options.basePort + static_cast<uint32_t>(i);
        }
        if (port > 65535) {
            error = "server " + std::to_string(i) + ": port " + std::to_string(port) + " is past 65535";
            return false;
        }
        NetAddress bound;
        if (!bindSocket(static_cast<uint16_t>(port), bound, error)) {
            error.insert(0, "server " + std::to_string(i) + ": ");
            return false;
        }
        if (server.closed) {
            // The port was bound only to pick it: a query there meets no socket,
            // and the sender's system gets a port-unreachable report.
            m_sockets.back().close();
        }
        m_serverAddresses.push_back(bound);
        entries.push_back(MasterListEntry{NET_AdrToString(bound), server.scorecard, server.marker});
    }

    auto listReply =
        std::make_shared<Datagram>(buildMasterListReply(entries, m_options.masterListLimit, m_listedServers));
    m_master =
        std::make_unique<MasterService>(std::move(listReply), toMicroseconds(m_scenario.master.delayMs),
                                        m_scenario.master.silent, m_accounts.get());
    m_waitList.clear();
    m_waitIndexes.clear();
    for (size_t i = 0; i < m_sockets.size(); ++i) {
        if (m_sockets[i].isOpen()) {
            m_waitList.push_back(&m_sockets[i]);
            m_waitIndexes.push_back(i);
        }
    }
    return true;
}

bool Simulator::bindSocket(uint16_t port, NetAddress& bound, std::string& error) {
    NetAddress local;
    local.ip = m_options.bindIp;
    NET_SetPort(local, port);
    UdpSocket socket;
    if (!socket.open()) {
        error = "cannot open a UDP socket";
        return false;
    }
    if (!socket.bind(local)) {
        error = "cannot bind " + NET_AdrToString(local);
        return false;
    }
    if (!socket.setNonBlocking() || !socket.localAddress(bound)) {
        error = "cannot set up the socket on " + NET_AdrToString(local);
        return false;
    }
    if (isWildcard(bound)) {
        bound.ip = {127, 0, 0, 1};
    }
    m_sockets.push_back(std::move(socket));
    return true;
}

void Simulator::run(std::optional<Clock::time_point> until) {
    std::vector<size_t> ready;
    while (!m_stopRequested.load()) {
        const Clock::time_point now = Clock::now();
        sendDueReplies(now);
        if (until && now >= *until) {
            break;
        }
        Clock::time_point wake = now + kIdleWait;
        if (!m_pending.empty()) {
            wake = std::min(wake, m_pending.top().due);
        }
        if (until) {
            wake = std::min(wake, *until);
        }
        // Rounded up: waking a fraction early would only spin through the loop.
        const auto timeout = std::chrono::ceil<microseconds>(wake - now);
        if (UdpSocket::waitAnyReadable(m_waitList, timeout, ready) > 0) {
            for (size_t waited : ready) {
                drain(m_waitIndexes[waited]);
            }
        }
    }
}

void Simulator::drain(size_t socket) {
    for (int i = 0; i < kDrainBatch; ++i) {
        NetAddress from;
        const ReceiveResult result = m_sockets[socket].receiveFrom(m_datagram, from);
        if (result.status == ReceiveStatus::TooLarge) {
            ++m_stats.garbage;
            continue;
        }
        if (result.status != ReceiveStatus::Received) {
            return;
        }
        const auto coded = std::span<const uint8_t>(m_datagram).first(static_cast<size_t>(result.length));
        if (decodeDatagram(coded, m_message) == 0) {
            ++m_stats.garbage;
            continue;
        }
        // Delays count from the arrival, not from when this loop got to it.
        dispatch(socket, from, result.arrival);
    }
}

void Simulator::dispatch(size_t socket, const NetAddress& from, Clock::time_point received) {
    if (m_options.verbose) {
        std::fprintf(stderr, "%s <- %s: %d bytes\n",
                     socket == 0 ? "master" : NET_AdrToString(m_serverAddresses[socket - 1]).c_str(),
                     NET_AdrToString(from).c_str(), m_message.cursize);
    }
    if (socket == 0) {
        bool understood = false;
        const std::optional<Reply> reply = m_master->handle(m_message, from, understood);
        ++(understood ? m_stats.masterRequests : m_stats.garbage);
        if (reply) {
            schedule(socket, from, *reply, received);
        }
        return;
    }
    if (MSG_ReadLong(m_message) != kMasterListCode) {
        ++m_stats.garbage;
        return;
    }
    ++m_stats.serverQueries;
    const GameServer& server = m_servers[socket - 1];
    if (!server.silent) {
        schedule(socket, from, Reply{server.reply, server.delay}, received);
    }
}

void Simulator::schedule(size_t socket, const NetAddress& to, const Reply& reply,
                         Clock::time_point received) {
    if (m_pending.size() >= kMaxPending) {
        ++m_stats.dropped;
        return;
    }
    m_pending.push(PendingReply{received + reply.delay, m_nextSequence++, socket, to, reply.datagram});
}

void Simulator::sendDueReplies(Clock::time_point now) {
    while (!m_pending.empty() && m_pending.top().due <= now) {
        const PendingReply& reply = m_pending.top();
        if (m_sockets[reply.socket].sendTo(*reply.datagram, reply.to) >= 0) {
            ++m_stats.repliesSent;
        }
        m_pending.pop();
    }
}
