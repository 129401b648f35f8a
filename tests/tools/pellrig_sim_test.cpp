// Runs pellrig-sim and talks to it over loopback as the launcher would: its
// scenarios, its generated servers, its start-up checks and its account service.

#include <chrono>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "accounts/account_service.h"
#include "accounts/memory_account_views.h"
#include "browser/memory_row_view.h"
#include "browser/messages.h"
#include "browser/receive_thread.h"
#include "browser/server_table.h"
#include "loopback_peer.h"
#include "net/net_address.h"
#include "net/network_session.h"
#include "net/size_buffer.h"
#include "net/transport.h"
#include "sim_process.h"

namespace {

using nlohmann::json;

// The launcher's requests, and a message that holds only a code.
const Bytes kListRequest = bytesOf(writeMasterListRequest);
const Bytes kInfoQuery = bytesOf(writeServerInfoQuery);
Bytes codeOnly(int32_t code) {
    return bytesOf([code](SizeBuffer& buffer) { MSG_WriteLong(buffer, code); });
}

// The launcher's side of the wire: a loopback socket that keeps every reply.
struct Client : Peer {
    void send(const Bytes& bytes, const std::string& to, bool coded = true) {
        NetAddress address;
        ASSERT_TRUE(NET_StringToAdr(to, address)) << to;
        Peer::send(bytes, address, coded);
    }
    // The next reply, ready to read; an empty one when none comes within a generous wait.
    SizeBuffer next() {
        const std::vector<Bytes> received = requests(m_read + 1);
        return messageOf(received.size() > m_read ? received[m_read++] : Bytes{});
    }

  private:
    size_t m_read = 0;
};

// Asks the master for its list; fails the test unless the list ends with its
// end marker exactly at the end of the message.
std::vector<MasterListEntry> masterList(Client& client, const std::string& master) {
    client.send(kListRequest, master);
    SizeBuffer reply = client.next();
    EXPECT_EQ(MSG_ReadLong(reply), kMasterListCode);
    std::vector<MasterListEntry> entries = readMasterListReply(reply, SIZE_MAX);
    EXPECT_EQ(reply.readcount, reply.cursize) << "the list does not end with its end marker";
    return entries;
}

TEST(PellrigSim, ScenarioServersAnswerAsToldAndSurviveGarbage) {
    // The first server's values are all past what the launcher keeps.
    json scenario = json::parse(R"({"servers": [
        {"map": "MAP07", "max_players": 32, "game_type": "teamplay", "game": "Doom II", "iwad": "doom2.wad",
         "pwads": ["one.wad", "", "three.wad", "four.wad", "five.wad", "six.wad"], "url": "http://brumvek.example",
         "email": "admin@brumvek.example", "dmflags": 4294967295, "dmflags2": 1234, "scorecard": 1, "marker": 255,
         "delay_ms": 40},
        {"name": "Quiet", "silent": true, "marker": 0},
        {"name": "Odd", "reply_code": 1353, "truncate_reply": 9}]})");
    json& expected = scenario["servers"][0];
    expected["name"] = std::string(300, 'N');
    for (int i = 0; i < 20; ++i) {
        expected["players"].push_back({{"name", "Player" + std::to_string(i)},
                                       {"frags", i - 5},
                                       {"ping", i == 3 ? 0 : 40 + i},
                                       {"level", i % 6},
                                       {"time", 100 + i}});
    }
    TempDir folder;
    SimProcess sim({"--scenario", folder.write("scenario.json", scenario.dump())});
    ASSERT_EQ(sim.servers.size(), 3u);
    const std::string& big = sim.servers[0];
    Client client;

    json listed = json::array();
    for (const MasterListEntry& entry : masterList(client, sim.master)) {
        listed.push_back({entry.address, entry.scorecard, entry.marker});
    }
    EXPECT_EQ(listed, json({{sim.servers[0], 1, 255}, {sim.servers[1], 0, 0}, {sim.servers[2], 0, 0}}));

    // Each query gets its own answer, also when several overlap.
    for (int i = 0; i < 4; ++i) {
        client.send(kInfoQuery, big);
    }
    SizeBuffer reply = client.next();
    ASSERT_EQ(MSG_ReadLong(reply), kServerInfoReplyCode);
    const ServerInfo info = readServerInfoReply(reply);
    EXPECT_EQ(reply.readcount, reply.cursize) << "fields missing or left over";
    // num_players defaults to the length of the player list; every WAD name comes, empty ones too.
    EXPECT_EQ(json({info.name, info.num_players, info.max_players, info.map, info.pwads, info.game_type,
                    info.game_name, info.iwad, info.url, info.email, info.dmflags, info.dmflags2}),
              json({expected["name"], 20, 32, "MAP07", expected["pwads"], 1, "Doom II", "doom2.wad",
                    expected["url"], expected["email"], -1, 1234}));
    json playersRead = json::array();
    for (const PlayerEntry& p : info.players) {
        playersRead.push_back(
            {{"name", p.name}, {"frags", p.frags}, {"ping", p.ping}, {"level", p.level}, {"time", p.time}});
    }
    EXPECT_EQ(playersRead, expected["players"]);

    for (int i = 1; i < 4; ++i) {
        reply = client.next();
        EXPECT_EQ(MSG_ReadLong(reply), kServerInfoReplyCode) << "reply " << i;
    }

    // The silent server takes its query first; an answer from it would come
    // no later than the odd server's, which has no delay either.
    client.send(kInfoQuery, sim.servers[1]);
    client.send(kInfoQuery, sim.servers[2]);
    reply = client.next();
    EXPECT_EQ(reply.cursize, 9) << "the silent server answered, or the reply is not truncated";
    EXPECT_EQ(MSG_ReadLong(reply), 1353);
    EXPECT_EQ(MSG_ReadString(reply), "Odd");

    const Bytes datagrams[] = {
        {},                                    // empty datagram
        {0xFF},                                // uncoded, empty message
        {0x00},                                // coded, no bits
        {0x07, 0x13, 0x37, 0xC0, 0xDE, 0x42},  // noise
        Bytes(2000, 0xAB),                     // a long run of noise
        huffEncoded(codeOnly(42)),             // unknown codes
        huffEncoded(codeOnly(-1)),
    };
    for (const std::string& to : {sim.master, big}) {
        for (const Bytes& bytes : datagrams) {
            client.send(bytes, to, false);
        }
    }
    client.send(codeOnly(kMasterListCode), sim.master);  // no version byte
    client.send(codeOnly(kServerInfoReplyCode), big);
    const size_t garbage = 2 * std::size(datagrams) + 2;

    EXPECT_EQ(masterList(client, sim.master).size(), 3u) << "the master stopped answering";
    client.send(kInfoQuery, big);
    reply = client.next();
    EXPECT_EQ(MSG_ReadLong(reply), kServerInfoReplyCode) << "the server stopped answering";
    EXPECT_EQ(sim.stop().back(), "stopped master_requests=2 server_queries=7 replies=8 garbage=" +
                                     std::to_string(garbage) + " dropped=0");
}

TEST(PellrigSim, GeneratedServersFollowTheSeedAndTheSilentFraction) {
    {
        // 512 entries do not fit the launcher's 8192-byte message: the master lists those that do.
        SimProcess many({"--generate", "512"});
        ASSERT_EQ(many.servers.size(), 512u);
        Client client;
        const size_t listed = masterList(client, many.master).size();
        EXPECT_TRUE(listed > 400 && listed < 512) << listed;
    }
    std::set<std::string> namesOfRun[2];
    for (std::set<std::string>& names : namesOfRun) {
        SimProcess sim({"--generate", "40", "--seed", "9", "--silent-fraction", "0.25", "--delay-min-ms", "0",
                        "--delay-max-ms", "0"});
        ASSERT_EQ(sim.servers.size(), 40u);
        Client client;
        for (const std::string& server : sim.servers) {
            client.send(kInfoQuery, server);
        }
        for (int i = 0; i < 30; ++i) {
            SizeBuffer reply = client.next();
            ASSERT_EQ(MSG_ReadLong(reply), kServerInfoReplyCode);
            names.insert(readServerInfoReply(reply).name);
        }
        // Every query went before this request, so an answer from a silent
        // server would come before the master's.
        client.send(kListRequest, sim.master);
        SizeBuffer reply = client.next();
        EXPECT_EQ(MSG_ReadLong(reply), kMasterListCode) << "more than a quarter of 40 servers answered";
        EXPECT_EQ(sim.stop().back(),
                  "stopped master_requests=1 server_queries=40 replies=31 garbage=0 dropped=0");
    }
    EXPECT_EQ(namesOfRun[0].size(), 30u);
    EXPECT_EQ(namesOfRun[0], namesOfRun[1]) << "the same seed made different servers";
}

TEST(PellrigSim, StopsByItselfAndRefusesBadStarts) {
    SimProcess timed({"--generate", "2", "--exit-after-ms", "200"});
    ASSERT_FALSE(timed.master.empty());
    EXPECT_EQ(timed.waitForExit(), 0) << "--exit-after-ms did not stop it";
    EXPECT_FALSE(SimProcess({"--scenario", PELLRIG_DEFAULT_SCENARIO}).master.empty())
        << "the shipped scenario";

    SimProcess running({});
    const std::string busyPort = running.master.substr(running.master.find(':') + 1);
    TempDir folder;
    int files = 0;
    const auto file = [&](const char* text) { return folder.write(std::to_string(++files), text); };
    const struct {
        const char* what;
        std::vector<std::string> options;
    } cases[] = {
        {"missing file", {"--scenario", "/nonexistent/scenario.json"}},
        {"not JSON", {"--scenario", file(R"({"servers": [)")}},
        {"no server list", {"--scenario", file(R"({"master": {"port": 0}})")}},
        {"unknown key", {"--scenario", file(R"({"servers": [{"nmae": "typo"}]})")}},
        {"level past a byte", {"--scenario", file(R"({"servers": [{"players": [{"level": 256}]}]})")}},
        {"bad game type", {"--scenario", file(R"({"servers": [{"game_type": "ctf"}]})")}},
        {"both sources", {"--generate", "1", "--scenario", file(R"({"servers": []})")}},
        {"bad bind address", {"--generate", "1", "--bind", "localhost"}},
        {"master port taken", {"--master-port", busyPort}},
        {"reversed delays", {"--generate", "1", "--delay-min-ms", "50", "--delay-max-ms", "10"}},
        {"accounts not an object", {"--accounts", file("[1, 2]")}},
        {"unknown account key", {"--accounts", file(R"({"accounts": [{"name": "x", "pasword": "typo"}]})")}},
        {"account without a name", {"--accounts", file(R"({"accounts": [{"password": "no name"}]})")}},
        {"accounts not JSON", {"--accounts", file("{")}},
    };
    for (const auto& test : cases) {
        SimProcess sim(test.options);
        EXPECT_TRUE(sim.master.empty()) << test.what << ": started anyway";
        const std::optional<int> status = sim.waitForExit();
        EXPECT_TRUE(status && *status != 0) << test.what;
    }
}

// The launcher's account core, talking to `master` from its own socket on
// loopback, with its receive thread.
struct Launcher {
    NetworkSession network{loopbackConfig()};
    MemoryRowView servers;
    MemoryRowView players;
    MemoryAccountViews views;
    Dispatcher dispatcher{{servers, players, views}, nullptr};
    AccountService service;
    ReceiveThread receiver{dispatcher, 10ms};

    explicit Launcher(const std::string& master)
        : service(views.views(), {master, {2s, 200ms}}, &dispatcher) {
        const auto lock = lockBrowser();
        master_adr = NetAddress{};
        dispatcher.setAccountHandler(&service);
    }

    // Waits until one more answer of the master shows, and returns all shown.
    MemoryAccountViews::Shown waitForAnswer(size_t before) {
        EXPECT_TRUE(views.waitUntil(
            [&](const MemoryAccountViews::Shown& shown) { return shown.count() > before; }, 5s));
        return views.shown();
    }
    MemoryAccountViews::Shown lookUp(const std::string& name) {
        const size_t before = views.shown().count();
        EXPECT_TRUE(service.lookUpPlayer(name));
        return waitForAnswer(before);
    }
};

TEST(SimAccounts, ChangesReachTheFileButPasswordsNeverTheLog) {
    TempDir folder;
    const std::string accounts = (folder.path() / "accounts.json").string();
    // Its standard error comes with its output, so the log can be read back.
    SimProcess sim({"--accounts", accounts, "--verbose"}, ChildProcess::Output::StdoutAndStderr);
    ASSERT_FALSE(sim.master.empty());
    {
        Launcher launcher(sim.master);
        AccountService& service = launcher.service;
        ASSERT_EQ(service.logIn(LoginRequestKind::CreateAccount, "Neo", "red-pill", true).outcome,
                  LoginOutcome::Accepted);
        EXPECT_EQ(service.updateProfile({}, "I know kung fu").outcome, UpdateOutcome::Updated);
        ASSERT_EQ(service.logIn(LoginRequestKind::LogIn, "Gaffer", "loupgarou", true).outcome,
                  LoginOutcome::Accepted);
        EXPECT_TRUE(service.switchStatCollection(true, "10.0.0.5:10666"));
        EXPECT_TRUE(service.switchStatCollection(false, "10.0.0.6:10666"));

        // The administrator edits another player's profile.
        PlayerProfile imp = launcher.lookUp("imp").profiles.at(0).profile;
        EXPECT_TRUE(service.confirmProfileUpdate(imp, {"promoted", 2500, 1}));
        EXPECT_EQ(service.updateProfile(imp, "").outcome, UpdateOutcome::Updated);
        MemoryAccountViews::Shown shown = launcher.lookUp("IMP");
        ASSERT_EQ(shown.profiles.size(), 2u);
        imp = shown.profiles[1].profile;
        EXPECT_EQ(json({recordText(imp.bio), imp.experience, imp.level, imp.accountLevel,
                        shown.profiles[1].levelFloor, shown.profiles[1].levelCeiling}),
                  json({"promoted", 2500, 2, 1, 2000, 3000}));

        const size_t before = launcher.views.shown().count();
        EXPECT_TRUE(service.deleteAccount("cyb"));
        EXPECT_EQ(launcher.waitForAnswer(before).messages.at(0).text, "Cyb's account deleted.\n");
        EXPECT_EQ(launcher.lookUp("Cyb").messages.back().text, "No information found for Cyb\n");

        // The administrator's rights go with the right password only.
        EXPECT_EQ(service.logIn(LoginRequestKind::LogIn, "Gaffer", "wrong", true).outcome,
                  LoginOutcome::Failed);
        EXPECT_TRUE(service.deleteAccount("alice"));
        EXPECT_EQ(launcher.lookUp("alice").profiles.size(), 3u) << "alice was deleted";
    }

    std::string log;
    for (const std::string& line : sim.stop()) {
        log += line + "\n";
    }
    EXPECT_EQ(log.find("red-pill"), std::string::npos) << "a password in the log:\n" << log;
    EXPECT_EQ(log.find("loupgarou"), std::string::npos) << "a password in the log:\n" << log;
    EXPECT_NE(log.find("account: sign-up 'Neo'"), std::string::npos) << log;

    const json saved = json::parse(readText(accounts), nullptr, false);
    ASSERT_TRUE(saved.is_object());
    EXPECT_EQ(saved["stat_collection"], (json{{"10.0.0.5:10666", true}, {"10.0.0.6:10666", false}}));
    std::vector<std::string> names;
    for (const json& account : saved["accounts"]) {
        names.push_back(account["name"]);
    }
    EXPECT_EQ(names, (std::vector<std::string>{"alice", "Gaffer", "imp", "Neo"}));

    // The next run starts from the file.
    SimProcess again({"--accounts", accounts});
    Launcher launcher(again.master);
    EXPECT_EQ(launcher.service.logIn(LoginRequestKind::LogIn, "Neo", "red-pill", true).outcome,
              LoginOutcome::Accepted);
    const MemoryAccountViews::Shown shown = launcher.lookUp("neo");
    ASSERT_EQ(shown.profiles.size(), 1u);
    EXPECT_EQ(recordText(shown.profiles[0].profile.bio), "I know kung fu");
}

}  // namespace
