#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <queue>
#include <string>
#include <vector>

#include "browser/messages.h"
#include "datagram.h"
#include "master_service.h"
#include "net/net_address.h"
#include "net/size_buffer.h"
#include "net/socket.h"
#include "scenario.h"

// Plays a scenario's master server and game servers over UDP: one socket per
// server, all served by one event loop on the thread that calls run(). Replies
// are scheduled on the steady clock from the moment their request was read, so
// a server's delay holds to well under a millisecond.

struct SimulatorOptions {
    std::array<uint8_t, 4> bindIp{127, 0, 0, 1};
    uint16_t masterPort = kMasterPort;  // 0 = any free port; the scenario's master port is not used
    uint16_t basePort = 0;              // servers on consecutive ports from here; 0 = any free port
    // The master lists only the servers that fit a message of this size.
    size_t masterListLimit = kLauncherMessageSize;
    bool verbose = false;  // one line per datagram on standard error
    AccountOptions accounts;
};

struct SimulatorStats {
    uint64_t masterRequests = 0;  // messages the master understood
    uint64_t serverQueries = 0;   // ServerInfoQuery messages, silent servers included
    uint64_t repliesSent = 0;
    uint64_t garbage = 0;  // datagrams that no server understood
    uint64_t dropped = 0;  // replies not scheduled because too many were waiting
};

class Simulator {
  public:
    Simulator(Scenario scenario, SimulatorOptions options);
    ~Simulator();
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Builds every reply, opens the accounts and binds every socket. Returns
    // false with a reason when a reply is too large, the accounts file cannot be
    // read or a socket cannot be bound.
    bool start(std::string& error);

    // Valid after start(). Servers are in scenario order; a server bound to the
    // wildcard address is listed, and reported here, as 127.0.0.1.
    NetAddress masterAddress() const { return m_masterAddress; }
    const std::vector<NetAddress>& serverAddresses() const { return m_serverAddresses; }
    size_t listedServers() const { return m_listedServers; }

    // Serves until requestStop() is called or `until` passes. Call after a
    // successful start(), on one thread.
    void run(std::optional<std::chrono::steady_clock::time_point> until);

    // Makes run() return soon. Safe from a signal handler or any thread.
    void requestStop() { m_stopRequested.store(true); }

    // Read after run() has returned, or from run()'s thread.
    const SimulatorStats& stats() const { return m_stats; }

  private:
    using Clock = std::chrono::steady_clock;

    struct GameServer {
        std::shared_ptr<const Datagram> reply;
        std::chrono::microseconds delay{0};
        bool silent = false;
    };

    struct PendingReply {
        Clock::time_point due;
        uint64_t sequence = 0;  // keeps replies due at the same moment in arrival order
        size_t socket = 0;
        NetAddress to;
        std::shared_ptr<const Datagram> datagram;
    };

    struct LaterFirst {
        bool operator()(const PendingReply& a, const PendingReply& b) const {
            return a.due != b.due ? a.due > b.due : a.sequence > b.sequence;
        }
    };

    bool bindSocket(uint16_t port, NetAddress& bound, std::string& error);
    void drain(size_t socket);
    void dispatch(size_t socket, const NetAddress& from, Clock::time_point received);
    void schedule(size_t socket, const NetAddress& to, const Reply& reply, Clock::time_point received);
    void sendDueReplies(Clock::time_point now);

    Scenario m_scenario;
    SimulatorOptions m_options;
    std::atomic<bool> m_stopRequested{false};

    std::vector<UdpSocket> m_sockets;    // the master's first, then the servers' in scenario order
    std::vector<UdpSocket*> m_waitList;  // the open sockets
    std::vector<size_t> m_waitIndexes;   // each one's index in m_sockets
    NetAddress m_masterAddress;
    std::vector<NetAddress> m_serverAddresses;
    size_t m_listedServers = 0;
    std::unique_ptr<MasterAccounts> m_accounts;
    std::unique_ptr<MasterService> m_master;
    std::vector<GameServer> m_servers;

    std::priority_queue<PendingReply, std::vector<PendingReply>, LaterFirst> m_pending;
    uint64_t m_nextSequence = 0;
    std::vector<uint8_t> m_datagram;
    SizeBuffer m_message;
    SimulatorStats m_stats;
};
