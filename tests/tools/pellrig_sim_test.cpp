// Runs the pellrig-sim program and talks to it over loopback as the launcher would.

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "browser/messages.h"
#include "child_process.h"
#include "net/huffman.h"
#include "net/net_address.h"
#include "net/size_buffer.h"
#include "net/socket.h"
#include "sim_process.h"

namespace {

using namespace std::chrono_literals;
using nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr auto kStartTimeout = 10s;
constexpr auto kReplyTimeout = 2s;
constexpr auto kExitTimeout = 10s;

// A started simulator and what its ready line told.
struct Sim {
    std::unique_ptr<SimProcess> process;
    NetAddress master;
    int servers = -1;
};

// Starts pellrig-sim with `arguments` and reads up to its ready line. Fails the
// test when there is none.
void startSim(std::vector<std::string> arguments, Sim& sim) {
    sim.process = std::make_unique<SimProcess>(std::move(arguments));
    ASSERT_FALSE(sim.process->master.empty()) << "pellrig-sim printed no ready line";
    const std::string& ready = sim.process->output.back();
    const size_t servers = ready.find(" servers=");
    ASSERT_NE(servers, std::string::npos) << ready;
    ASSERT_TRUE(NET_StringToAdr(sim.process->master, sim.master)) << ready;
    ASSERT_EQ(NET_AdrToString(sim.master), sim.process->master)
        << "the ready line's address is not in canonical form";
    sim.servers = std::stoi(ready.substr(servers + 9));
}

SizeBuffer newMessage() {
    SizeBuffer message;
    SZ_Init(message, 65536);
    return message;
}

// The launcher's side of the wire: one loopback socket on any free port.
class Client {
  public:
    Client() {
        NetAddress local;
        local.ip = {127, 0, 0, 1};
        EXPECT_TRUE(m_socket.open() && m_socket.bind(local) && m_socket.setNonBlocking());
    }

    void send(const SizeBuffer& message, const NetAddress& to) {
        std::vector<uint8_t> coded(static_cast<size_t>(message.cursize) + 1);
        coded.resize(HUFF_Encode({message.data.get(), static_cast<size_t>(message.cursize)}, coded));
        sendRaw(coded, to);
    }

    void sendRaw(std::span<const uint8_t> bytes, const NetAddress& to) {
        EXPECT_EQ(m_socket.sendTo(bytes, to), static_cast<int>(bytes.size()));
    }

    // Takes the next datagram and decodes it into `message`; false when none
    // comes within `timeout`.
    bool receive(SizeBuffer& message, NetAddress& from, std::chrono::milliseconds timeout) {
        const Clock::time_point deadline = Clock::now() + timeout;
        std::vector<uint8_t> coded(65536);
        for (;;) {
            const ReceiveResult result = m_socket.receiveFrom(coded, from);
            if (result.status == ReceiveStatus::Received) {
                coded.resize(static_cast<size_t>(result.length));
                message.cursize = static_cast<int32_t>(
                    HUFF_Decode(coded, {message.data.get(), static_cast<size_t>(message.maxsize)}));
                MSG_BeginReading(message);
                return true;
            }
            const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
            if (left <= 0ms) {
                return false;
            }
            m_socket.waitReadable(static_cast<int>(left.count()));
        }
    }

  private:
    UdpSocket m_socket;
};

struct ListedServer {
    std::string address;
    int scorecard = 0;
    int marker = 0;
};

// Asks the master for its list and reads it; fails the test unless the list
// ends with its end marker exactly at the end of the message.
std::vector<ListedServer> queryMasterList(Client& client, const NetAddress& master) {
    SizeBuffer message = newMessage();
    writeMasterListRequest(message);
    client.send(message, master);
    NetAddress from;
    std::vector<ListedServer> servers;
    if (!client.receive(message, from, kReplyTimeout)) {
        ADD_FAILURE() << "no master list";
        return servers;
    }
    EXPECT_EQ(from, master);
    EXPECT_EQ(MSG_ReadLong(message), kMasterListCode);
    for (int marker = MSG_ReadByte(message); marker != kMasterListEnd && marker >= 0;
         marker = MSG_ReadByte(message)) {
        ListedServer& server = servers.emplace_back();
        server.marker = marker;
        server.address = MSG_ReadString(message);
        server.scorecard = MSG_ReadByte(message);
    }
    EXPECT_EQ(message.readcount, message.cursize) << "the list does not end with its end marker";
    return servers;
}

NetAddress addressOf(const ListedServer& server) {
    NetAddress address;
    EXPECT_TRUE(NET_StringToAdr(server.address, address)) << server.address;
    return address;
}

// Reads a ServerInfoReply after its code; fails the test unless every field,
// the two unused ones included, is there and nothing follows.
ServerInfo readServerInfo(SizeBuffer& message) {
    ServerInfo info;
    info.name = MSG_ReadString(message);
    info.num_players = MSG_ReadByte(message);
    info.max_players = MSG_ReadByte(message);
    info.map = MSG_ReadString(message);
    for (int count = MSG_ReadByte(message); count > 0; --count) {
        info.pwads.push_back(MSG_ReadString(message));
    }
    info.game_type = MSG_ReadByte(message);
    info.game_name = MSG_ReadString(message);
    info.iwad = MSG_ReadString(message);
    MSG_ReadByte(message);
    info.url = MSG_ReadString(message);
    info.email = MSG_ReadString(message);
    info.dmflags = MSG_ReadLong(message);
    info.dmflags2 = MSG_ReadLong(message);
    for (int count = MSG_ReadByte(message); count > 0; --count) {
        PlayerEntry& player = info.players.emplace_back();
        player.name = MSG_ReadString(message);
        player.frags = MSG_ReadShort(message);
        player.ping = MSG_ReadShort(message);
        player.level = MSG_ReadByte(message);
        player.time = MSG_ReadShort(message);
    }
    EXPECT_GE(MSG_ReadShort(message), 0) << "the final short is missing";
    EXPECT_EQ(message.readcount, message.cursize);
    return info;
}

// Sends one ServerInfoQuery and decodes the answer into `reply`; false when
// none comes within `timeout`. `elapsed` receives the round trip.
bool queryServer(Client& client, const NetAddress& server, SizeBuffer& reply,
                 std::chrono::microseconds& elapsed, std::chrono::milliseconds timeout = kReplyTimeout) {
    SizeBuffer query = newMessage();
    writeServerInfoQuery(query);
    const Clock::time_point sent = Clock::now();
    client.send(query, server);
    NetAddress from;
    if (!client.receive(reply, from, timeout)) {
        return false;
    }
    elapsed = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - sent);
    EXPECT_EQ(from, server) << "the reply comes from another address than the one listed";
    return true;
}

// Queries every server at once and returns the decoded replies by sender.
// Replies are taken while the queries go out, so none overflows the socket's
// queue; waiting ends once `quiet` passes without one.
std::map<std::string, ServerInfo> queryAll(Client& client, const std::vector<NetAddress>& servers,
                                           std::chrono::milliseconds quiet = 500ms) {
    SizeBuffer query = newMessage();
    writeServerInfoQuery(query);
    SizeBuffer reply = newMessage();
    NetAddress from;
    std::map<std::string, ServerInfo> answers;
    auto take = [&] {
        EXPECT_EQ(MSG_ReadLong(reply), kServerInfoReplyCode);
        answers[NET_AdrToString(from)] = readServerInfo(reply);
    };
    for (const NetAddress& server : servers) {
        client.send(query, server);
        while (client.receive(reply, from, 0ms)) {
            take();
        }
    }
    while (answers.size() < servers.size() && client.receive(reply, from, quiet)) {
        take();
    }
    return answers;
}

std::vector<NetAddress> addressesOf(const std::vector<ListedServer>& listed) {
    std::vector<NetAddress> addresses;
    addresses.reserve(listed.size());
    for (const ListedServer& server : listed) {
        addresses.push_back(addressOf(server));
    }
    return addresses;
}

// A server whose every value is past what the launcher keeps.
json oversizedServer() {
    json players = json::array();
    for (int i = 0; i < 20; ++i) {
        players.push_back({{"name", "Player" + std::to_string(i)},
                           {"frags", i - 5},
                           {"ping", i == 3 ? 0 : 40 + i},
                           {"level", i % 6},
                           {"time", 100 + i}});
    }
    return {{"name", std::string(300, 'N')},
            {"map", "MAP07"},
            {"max_players", 32},
            {"game_type", "teamplay"},
            {"game", "Doom II"},
            {"iwad", "doom2.wad"},
            {"pwads", {"one.wad", "", "three.wad", "four.wad", "five.wad", "six.wad"}},
            {"url", "http://brumvek.example"},
            {"email", "admin@brumvek.example"},
            {"dmflags", 4294967295u},
            {"dmflags2", 1234},
            {"players", players},
            {"scorecard", 1},
            {"marker", 255},
            {"delay_ms", 40}};
}

json threeServerScenario() {
    return {{"servers",
             {oversizedServer(),
              {{"name", "Quiet"}, {"silent", true}, {"marker", 0}},
              {{"name", "Odd"}, {"reply_code", 1353}, {"truncate_reply", 9}}}}};
}

// Writes the tests' scenarios to files of their own and removes them afterwards.
class PellrigSim : public testing::Test {
  protected:
    std::string writeScenarioText(const std::string& text) {
        const auto* test = testing::UnitTest::GetInstance()->current_test_info();
        const auto path = std::filesystem::temp_directory_path() /
                          ("pellrig_sim_test_" + std::to_string(::getpid()) + "_" + test->name() + "_" +
                           std::to_string(m_files.size()) + ".json");
        std::ofstream(path) << text;
        m_files.push_back(path);
        return path.string();
    }

    std::string writeScenario(const json& scenario) { return writeScenarioText(scenario.dump(2)); }

    void TearDown() override {
        for (const std::filesystem::path& path : m_files) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    }

  private:
    std::vector<std::filesystem::path> m_files;
};

TEST_F(PellrigSim, MasterListsEveryServerInScenarioOrder) {
    Sim sim;
    ASSERT_NO_FATAL_FAILURE(startSim({"--scenario", writeScenario(threeServerScenario())}, sim));
    EXPECT_EQ(sim.servers, 3);
    Client client;
    const std::vector<ListedServer> listed = queryMasterList(client, sim.master);
    ASSERT_EQ(listed.size(), 3u);
    std::set<std::string> addresses;
    for (const ListedServer& server : listed) {
        EXPECT_EQ(NET_AdrToString(addressOf(server)), server.address) << "not in canonical text form";
        EXPECT_EQ(server.address.rfind("127.0.0.1:", 0), 0u) << server.address;
        addresses.insert(server.address);
    }
    EXPECT_EQ(addresses.size(), 3u) << "two servers share an address";
    EXPECT_EQ(listed[0].scorecard, 1);
    EXPECT_EQ(listed[0].marker, 255);
    EXPECT_EQ(listed[1].scorecard, 0);
    EXPECT_EQ(listed[1].marker, 0);
}

TEST_F(PellrigSim, ServerAnswersWithItsScenarioAfterItsDelay) {
    const json scenario = threeServerScenario();
    Sim sim;
    ASSERT_NO_FATAL_FAILURE(startSim({"--scenario", writeScenario(scenario)}, sim));
    Client client;
    const std::vector<ListedServer> listed = queryMasterList(client, sim.master);
    ASSERT_EQ(listed.size(), 3u);

    SizeBuffer reply = newMessage();
    std::chrono::microseconds elapsed{};
    ASSERT_TRUE(queryServer(client, addressOf(listed[0]), reply, elapsed));
    EXPECT_GE(elapsed, 40ms) << "answered before its delay";
    EXPECT_LT(elapsed, 1000ms);
    ASSERT_EQ(MSG_ReadLong(reply), kServerInfoReplyCode);
    const ServerInfo info = readServerInfo(reply);
    const json& expected = scenario["servers"][0];
    EXPECT_EQ(info.name, expected["name"]);
    EXPECT_EQ(info.num_players, 20) << "num_players defaults to the length of the player list";
    EXPECT_EQ(info.max_players, 32);
    EXPECT_EQ(info.map, "MAP07");
    EXPECT_EQ(info.pwads, expected["pwads"].get<std::vector<std::string>>()) << "every name, empty ones too";
    EXPECT_EQ(info.game_type, 1);
    EXPECT_EQ(info.game_name, "Doom II");
    EXPECT_EQ(info.iwad, "doom2.wad");
    EXPECT_EQ(info.url, expected["url"]);
    EXPECT_EQ(info.email, expected["email"]);
    EXPECT_EQ(info.dmflags, -1);
    EXPECT_EQ(info.dmflags2, 1234);
    ASSERT_EQ(info.players.size(), 20u);
    for (size_t i = 0; i < info.players.size(); ++i) {
        const json& player = expected["players"][i];
        EXPECT_EQ(info.players[i].name, player["name"]);
        EXPECT_EQ(info.players[i].frags, player["frags"]);
        EXPECT_EQ(info.players[i].ping, player["ping"]);
        EXPECT_EQ(info.players[i].level, player["level"]);
        EXPECT_EQ(info.players[i].time, player["time"]);
    }

    // Each query gets its own answer, also when several overlap.
    SizeBuffer query = newMessage();
    writeServerInfoQuery(query);
    for (int i = 0; i < 3; ++i) {
        client.send(query, addressOf(listed[0]));
    }
    NetAddress from;
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(client.receive(reply, from, kReplyTimeout)) << "reply " << i;
    }
}

TEST_F(PellrigSim, SilentAndOddServersMisbehaveAsTold) {
    Sim sim;
    ASSERT_NO_FATAL_FAILURE(startSim({"--scenario", writeScenario(threeServerScenario())}, sim));
    Client client;
    const std::vector<ListedServer> listed = queryMasterList(client, sim.master);
    ASSERT_EQ(listed.size(), 3u);

    SizeBuffer reply = newMessage();
    std::chrono::microseconds elapsed{};
    EXPECT_FALSE(queryServer(client, addressOf(listed[1]), reply, elapsed, 300ms))
        << "the silent server answered";

    ASSERT_TRUE(queryServer(client, addressOf(listed[2]), reply, elapsed));
    EXPECT_EQ(reply.cursize, 9) << "reply not truncated";
    EXPECT_EQ(MSG_ReadLong(reply), 1353);
    EXPECT_EQ(MSG_ReadString(reply), "Odd");
}

TEST_F(PellrigSim, GarbageIsCountedAndSurvived) {
    Sim sim;
    ASSERT_NO_FATAL_FAILURE(startSim({"--scenario", writeScenario(threeServerScenario())}, sim));
    Client client;
    std::vector<ListedServer> listed = queryMasterList(client, sim.master);
    ASSERT_EQ(listed.size(), 3u);
    const NetAddress server = addressOf(listed[0]);

    auto message = [](std::initializer_list<int32_t> longs) {
        SizeBuffer buffer = newMessage();
        for (int32_t value : longs) {
            MSG_WriteLong(buffer, value);
        }
        return buffer;
    };
    const std::vector<uint8_t> rawGarbage[] = {
        {},                                    // empty datagram
        {0xFF},                                // uncoded, empty message
        {0x00},                                // coded, no bits
        {0x07, 0x13, 0x37, 0xC0, 0xDE, 0x42},  // noise
        std::vector<uint8_t>(2000, 0xAB),      // a long run of noise
    };
    int sent = 0;
    for (const NetAddress& to : {sim.master, server}) {
        for (const std::vector<uint8_t>& bytes : rawGarbage) {
            client.sendRaw(bytes, to);
            ++sent;
        }
        client.send(message({42}), to);  // unknown code
        client.send(message({-1}), to);
        sent += 2;
    }
    client.send(message({kMasterListCode}), sim.master);  // a list request without its version byte
    client.send(message({kServerInfoReplyCode}), server);
    sent += 2;

    listed = queryMasterList(client, sim.master);
    EXPECT_EQ(listed.size(), 3u) << "the master stopped answering";
    SizeBuffer reply = newMessage();
    std::chrono::microseconds elapsed{};
    EXPECT_TRUE(queryServer(client, server, reply, elapsed)) << "the server stopped answering";

    const std::vector<std::string> output = sim.process->stop();
    EXPECT_EQ(output.back(), "stopped master_requests=2 server_queries=1 replies=3 garbage=" +
                                 std::to_string(sent) + " dropped=0");
}

TEST_F(PellrigSim, GeneratedServersHaveTheSilentFraction) {
    const std::vector<std::string> arguments = {"--generate",        "40",   "--seed",         "9",
                                                "--silent-fraction", "0.25", "--delay-min-ms", "1",
                                                "--delay-max-ms",    "20"};
    std::set<std::string> namesOfRun[2];
    for (std::set<std::string>& names : namesOfRun) {
        Sim sim;
        ASSERT_NO_FATAL_FAILURE(startSim(arguments, sim));
        EXPECT_EQ(sim.servers, 40);
        Client client;
        const std::vector<ListedServer> listed = queryMasterList(client, sim.master);
        ASSERT_EQ(listed.size(), 40u);
        const auto answers = queryAll(client, addressesOf(listed));
        EXPECT_EQ(answers.size(), 30u) << "a quarter of 40 servers should be silent";
        for (const auto& [address, info] : answers) {
            names.insert(info.name);
        }
    }
    EXPECT_EQ(namesOfRun[0], namesOfRun[1]) << "the same seed made different servers";
}

TEST_F(PellrigSim, ShippedDefaultScenarioRuns) {
    Sim sim;
    ASSERT_NO_FATAL_FAILURE(startSim({"--scenario", PELLRIG_DEFAULT_SCENARIO}, sim));
    Client client;
    const std::vector<ListedServer> listed = queryMasterList(client, sim.master);
    EXPECT_EQ(listed.size(), static_cast<size_t>(sim.servers));
    EXPECT_GE(listed.size(), 20u);
    const size_t answered = queryAll(client, addressesOf(listed)).size();
    EXPECT_LT(answered, listed.size()) << "a lively list has a few silent servers";
    EXPECT_GT(answered, listed.size() / 2);
}

TEST_F(PellrigSim, ServesFiveHundredTwelveServers) {
    Sim sim;
    ASSERT_NO_FATAL_FAILURE(startSim({"--generate", "512", "--seed", "3", "--delay-min-ms", "1",
                                      "--delay-max-ms", "200", "--print-servers"},
                                     sim));
    ASSERT_EQ(sim.servers, 512);
    ASSERT_EQ(sim.process->servers.size(), 512u);
    ASSERT_EQ(sim.process->output.size(), 513u) << "more than the servers before the ready line";
    Client client;
    // 512 entries do not fit the launcher's 8192-byte message: the master lists those that do.
    const std::vector<ListedServer> listed = queryMasterList(client, sim.master);
    EXPECT_GT(listed.size(), 400u);
    EXPECT_LT(listed.size(), 512u);

    std::vector<NetAddress> servers;
    for (const std::string& address : sim.process->servers) {
        ASSERT_TRUE(NET_StringToAdr(address, servers.emplace_back())) << address;
    }
    EXPECT_EQ(queryAll(client, servers, 1000ms).size(), 512u);
}

TEST_F(PellrigSim, StopsByItselfAndRejectsBadStarts) {
    std::string error;
    auto process = ChildProcess::start(
        PELLRIG_SIM_PATH, {"--generate", "2", "--master-port", "0", "--exit-after-ms", "200"}, error);
    ASSERT_NE(process, nullptr) << error;
    EXPECT_EQ(process->wait(kExitTimeout), 0) << "--exit-after-ms did not stop it";

    Sim running;
    ASSERT_NO_FATAL_FAILURE(startSim({"--generate", "1"}, running));
    const std::string busyPort = std::to_string(NET_Port(running.master));

    const struct {
        const char* what;
        std::vector<std::string> arguments;
    } cases[] = {
        {"no servers", {}},
        {"missing file", {"--scenario", "/nonexistent/scenario.json"}},
        {"not JSON", {"--scenario", writeScenarioText(R"({"servers": [)")}},
        {"no server list", {"--scenario", writeScenarioText(R"({"master": {"port": 0}})")}},
        {"unknown key", {"--scenario", writeScenarioText(R"({"servers": [{"nmae": "typo"}]})")}},
        {"level past a byte",
         {"--scenario", writeScenarioText(R"({"servers": [{"players": [{"level": 256}]}]})")}},
        {"bad game type", {"--scenario", writeScenarioText(R"({"servers": [{"game_type": "ctf"}]})")}},
        {"both sources", {"--generate", "1", "--scenario", writeScenarioText(R"({"servers": []})")}},
        {"bad bind address", {"--generate", "1", "--bind", "localhost"}},
        {"master port taken", {"--generate", "1", "--master-port", busyPort}},
        {"reversed delays", {"--generate", "1", "--delay-min-ms", "50", "--delay-max-ms", "10"}},
    };
    for (const auto& test : cases) {
        std::vector<std::string> arguments = test.arguments;
        if (std::string(test.what) != "master port taken") {
            arguments.insert(arguments.end(), {"--master-port", "0"});
        }
        arguments.insert(arguments.end(), {"--exit-after-ms", "5000"});
        process = ChildProcess::start(PELLRIG_SIM_PATH, arguments, error);
        ASSERT_NE(process, nullptr) << error;
        std::string line;
        EXPECT_FALSE(process->readLine(line, kStartTimeout)) << test.what << ": started anyway: " << line;
        const std::optional<int> status = process->wait(kExitTimeout);
        EXPECT_TRUE(status && *status != 0) << test.what;
    }
}

}  // namespace
