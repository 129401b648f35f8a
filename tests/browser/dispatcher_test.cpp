#include "browser/dispatcher.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>

#include "browser/ping_sweep.h"
#include "browser_test_support.h"
#include "net/transport.h"

namespace {

class BrowserDispatcher : public testing::Test {
  protected:
    void SetUp() override {
        clearServerTable();
        setMaster(master);
    }

    static void setMaster(const NetAddress& address) {
        const auto lock = lockBrowser();
        master_adr = address;
    }

    bool dispatch(SizeBuffer message, const NetAddress& from, uint32_t arrival = Sys_Milliseconds()) {
        return dispatcher.dispatchMessage(message, from, arrival);
    }
    void listServers(const std::vector<MasterListEntry>& entries) { dispatch(masterListOf(entries), master); }
    void reply(const ServerInfo& info, uint16_t port) { dispatch(serverInfoOf(info), loopback(port)); }
    std::string cell(int index, ServerColumn c) const { return cellOf(views.servers, index, c); }

    TestViews views;
    Dispatcher dispatcher{views.views, nullptr};
    NetAddress master = loopback(15100);
};

MasterListEntry entry(uint16_t port, int scorecard = 0, int marker = 0) {
    return {"127.0.0.1:" + std::to_string(port), scorecard, marker};
}

TEST_F(BrowserDispatcher, MasterListFromTheMasterReplacesTableAndRows) {
    listServers({entry(1, 1, 0), entry(2, 0, 255), entry(3, 0, 7)});
    views.servers.select(*views.servers.findRow(2));
    views.players.insertRow(0, 0, 0);
    listServers({entry(4), entry(5, 1)});
    // Lists from another port or host, or before any list was asked for, count for nothing.
    for (const NetAddress& stranger : {loopback(15101), loopback(15100, 2)}) {
        dispatch(masterListOf({entry(6), entry(7)}), stranger);
    }
    ASSERT_EQ(server_count, 2);
    EXPECT_STREQ(server_table[0].address, "127.0.0.1:4");
    EXPECT_EQ(server_table[1].scorecard, 1);
    setMaster(NetAddress{});
    listServers({entry(8), entry(9)});
    EXPECT_EQ(server_count, 2);
    // No row of the first list is left to name one server and index another;
    // the new rows sit in reverse list order, each carrying its record index.
    std::vector<std::pair<int, int>> dataAndIcon;
    for (const auto& row : views.servers.rows()) {
        dataAndIcon.emplace_back(row.itemData, row.icon);
    }
    EXPECT_EQ(dataAndIcon, (std::vector<std::pair<int, int>>{{1, 1}, {0, 0}}));
    EXPECT_EQ(views.servers.selectedItemData(), std::nullopt);
    EXPECT_TRUE(views.players.rows().empty());
    EXPECT_TRUE(views.messages.messages().empty());

    // Only the end byte ends a list, and a list of nothing empties the table.
    setMaster(master);
    listServers({entry(6), {"127.0.0.1:7", 0, kMasterListEnd}, entry(8)});
    EXPECT_EQ(server_count, 1);
    listServers({});
    EXPECT_EQ(server_count, 0);
}

TEST_F(BrowserDispatcher, FavouritesComeFirstInTheirOrderAndThoseNotListedAreAdded) {
    Favourites favourites;
    favourites.set({"127.0.0.1:3", "127.0.0.1:9", "127.0.0.1:1", "127.0.0.1:3"});
    Dispatcher keeping(views.views, nullptr, &favourites);
    SizeBuffer list = masterListOf({entry(1), entry(2), entry(3, 1), entry(4)});
    keeping.dispatchMessage(list, master, Sys_Milliseconds());

    const auto lock = lockBrowser();
    ASSERT_EQ(server_count, 5);
    EXPECT_STREQ(server_table[4].address, "127.0.0.1:9");
    std::vector<std::pair<int, int>> dataAndIcon;
    for (const auto& row : views.servers.rows()) {
        dataAndIcon.emplace_back(row.itemData, row.icon);
    }
    EXPECT_EQ(dataAndIcon, (std::vector<std::pair<int, int>>{{2, 1}, {4, 0}, {0, 0}, {3, 0}, {1, 0}}));
}

TEST_F(BrowserDispatcher, ReplyFillsRecordAndRowWithinLimits) {
    listServers({entry(1), entry(2)});
    ServerInfo info{std::string(300, 'n'), 20, 32, "E1M1", {}, 0, "DOOM", "doom.wad", "", "", 0, 0, {}};
    info.pwads = {"a.wad", std::string(40, 'p'), "", "c.wad", "d.wad", "e.wad"};
    for (int i = 0; i < 20; ++i) {
        info.players.push_back({"p" + std::to_string(i), i, i * 10, 2, 60});
    }
    // The same reply from another host changes nothing.
    dispatch(serverInfoOf(info), loopback(2, 2));
    EXPECT_FALSE(server_table[1].answered);
    EXPECT_EQ(cell(1, ServerColumn::Name), "");
    reply(info, 2);

    const auto lock = lockBrowser();
    const ServerRecord& record = server_table[1];
    EXPECT_TRUE(record.answered);
    EXPECT_EQ(std::strlen(record.name), kTextSize - 1);
    EXPECT_EQ(record.num_pwads, kMaxPwads);
    EXPECT_EQ(std::strlen(record.pwads[1]), kPwadSize - 1);
    EXPECT_STREQ(record.pwads[2], "c.wad");
    EXPECT_EQ(record.has_pwads, kPresent);
    EXPECT_TRUE(std::all_of(std::begin(record.players), std::end(record.players),
                            [](const PlayerInfo& player) { return player.present == kPresent; }));
    EXPECT_STREQ(record.players[15].name, "p15");
    EXPECT_EQ(cell(1, ServerColumn::Name), std::string(kTextSize - 1, 'n'));
    EXPECT_EQ(cell(1, ServerColumn::Players), "20/32");
    EXPECT_EQ(cell(1, ServerColumn::Wads), "*4 files");
    EXPECT_EQ(cell(1, ServerColumn::Ping), std::to_string(record.ping));
    EXPECT_EQ(cell(0, ServerColumn::Ping), "");

    // The end of a sweep marks only the unanswered, even next to an answer in 0 ms.
    server_table[1].ping = 0;
    markSilentServers(views.servers);
    EXPECT_EQ(server_table[0].ping, kSilentPing);
    EXPECT_EQ(cell(0, ServerColumn::Ping), "***");
    EXPECT_EQ(server_table[1].ping, 0);
    EXPECT_NE(cell(1, ServerColumn::Ping), "***");
}

TEST_F(BrowserDispatcher, PingRunsFromTheQueryToTheArrivalOfItsFirstReply) {
    listServers({entry(1)});
    const ServerInfo info{"s", 1, 8, "MAP01", {}, 0, "DOOM", "doom2.wad", "", "", 0, 0, {}};
    const auto askAt = [](uint32_t sendTime, int32_t ping) {
        const auto lock = lockBrowser();
        server_table[0].send_time = sendTime;
        server_table[0].ping = ping;
        server_table[0].answered = false;
    };
    askAt(1000, 0);
    // Arrived before the query went out: the answer to an older one.
    dispatch(serverInfoOf(info), loopback(1), 997);
    EXPECT_FALSE(server_table[0].answered);
    // However late it is read, the ping ends at the arrival; a second reply to
    // the same query does not lengthen it.
    dispatch(serverInfoOf(info), loopback(1), 1042);
    dispatch(serverInfoOf(info), loopback(1), 1300);
    EXPECT_EQ(server_table[0].ping, 42);
    EXPECT_EQ(cell(0, ServerColumn::Ping), "42");
    // One millisecond early is two clocks disagreeing within a millisecond.
    askAt(2000, 0);
    dispatch(serverInfoOf(info), loopback(1), 1999);
    EXPECT_EQ(server_table[0].ping, 0);
    EXPECT_TRUE(server_table[0].answered);
    // A reply after the sweep gave up on the server still fills its record.
    askAt(3000, kSilentPing);
    dispatch(serverInfoOf(info), loopback(1), 4200);
    EXPECT_EQ(server_table[0].ping, 1200);
    EXPECT_EQ(cell(0, ServerColumn::Ping), "1200");
}

TEST_F(BrowserDispatcher, RowTextsFollowEachReply) {
    listServers({entry(1)});
    struct Case {
        std::vector<std::string> pwads;
        int gameType;
        const char* wads;
        const char* type;
    };
    const Case cases[] = {
        {{}, 0, "", "Deathmatch"},
        {{"a.wad"}, 1, "a.wad", "Teamplay"},
        {{"a.wad", "b.wad"}, 2, "*2 files", "Cooperative"},
        {{"a.wad", "", "b.wad"}, 7, "*2 files", "Cooperative"},  // an unknown type leaves the cell
        {{"", "b.wad"}, 1, "b.wad", "Teamplay"},
        {{""}, 1, "", "Teamplay"},
    };
    for (const Case& c : cases) {
        reply(ServerInfo{"S", 1, 4, "M", c.pwads, c.gameType, "G", "I", "", "", 0, 0, {}}, 1);
        EXPECT_EQ(cell(0, ServerColumn::Wads), c.wads) << c.pwads.size();
        EXPECT_EQ(cell(0, ServerColumn::Type), c.type) << c.gameType;
    }
}

TEST_F(BrowserDispatcher, SelectedServerReplyRefreshesPlayerList) {
    listServers({entry(1), entry(2)});
    views.servers.select(*views.servers.findRow(0));
    ServerInfo info{
        "S", 2, 8, "M", {}, 0, "G", "I", "", "", 0, 0, {{"lan", -5, 0, 9, 1}, {"far", 6, 80, 4, 2}}};
    reply(info, 2);
    EXPECT_TRUE(views.players.rows().empty());

    reply(info, 1);
    const auto rows = views.players.rows();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].cells, (std::vector<std::string>{"", "lan", "-5", "0", "1"}));  // ping 0: no level
    EXPECT_EQ(rows[1].cells, (std::vector<std::string>{"4", "far", "6", "80", "2"}));
}

struct RecordingAccounts : AccountReplyHandler {
    void handleAccountReply(int32_t code, SizeBuffer& message, const NetAddress&) override {
        seen.push_back(std::to_string(code) + ":" + MSG_ReadString(message));
    }
    std::vector<std::string> seen;
};

TEST_F(BrowserDispatcher, CodesRouteToHandlersOrReportUnknown) {
    const auto coded = [](int32_t code) {
        return messageOf([code](SizeBuffer& b) {
            MSG_WriteLong(b, code);
            MSG_WriteString(b, "bob");
        });
    };
    for (const int32_t code : {1347, 1349, 1351, 1352, 1355}) {
        EXPECT_TRUE(dispatch(coded(code), master));
    }
    EXPECT_TRUE(views.messages.messages().empty());

    RecordingAccounts accounts;
    dispatcher.setAccountHandler(&accounts);
    EXPECT_TRUE(dispatch(coded(1352), master));
    EXPECT_EQ(accounts.seen, std::vector<std::string>{"1352:bob"});
    dispatcher.setAccountHandler(nullptr);

    EXPECT_TRUE(dispatch(coded(1353), loopback(10666)));
    EXPECT_EQ(views.messages.messages(), (std::vector<MemoryQueuedMessageView::Message>{
                                             {"BV_RunTics: Unknown cmd: 1353 (127.0.0.1:10666)\n", ""}}));

    // A flood shows nothing more while that box is up, nor right after it.
    for (int i = 0; i < 2000; ++i) {
        EXPECT_TRUE(dispatch(coded(2000 + i), loopback(10666)));
    }
    EXPECT_EQ(views.messages.messages().size(), 1u);

    EXPECT_FALSE(dispatch(coded(0), master));
    EXPECT_FALSE(dispatch(coded(-7), master));
    EXPECT_FALSE(dispatch(messageOf([](SizeBuffer& b) { MSG_WriteShort(b, 5); }), master));
}

TEST_F(BrowserDispatcher, TruncatedAndGarbageDatagramsKeepLimits) {
    // Short texts, so 600 entries fit in one message; the first is a real sender.
    const NetAddress server = loopback(10666);
    std::vector<MasterListEntry> many{{NET_AdrToString(server), 0, 0}};
    for (int i = 1; i < 600; ++i) {
        many.push_back({std::to_string(i), 0, 0});
    }
    ServerInfo info{"S", 1, 4, "M", {"a.wad", "b.wad"}, 0, "G", "I", "u", "e", 1, 2, {{"p", 1, 2, 3, 4}}};
    const SizeBuffer list = masterListOf(many);
    SizeBuffer full = serverInfoOf(info);
    ASSERT_EQ(MSG_ReadLong(full), kServerInfoReplyCode);
    EXPECT_EQ(readServerInfoReply(full).players.size(), 1u);
    EXPECT_EQ(full.readcount, full.cursize);  // the unused byte and the final short are read too

    listServers(many);
    EXPECT_EQ(server_count, kMaxServers);
    EXPECT_EQ(views.servers.rows().size(), static_cast<size_t>(kMaxServers));

    for (int32_t length = 0; length <= full.cursize; ++length) {
        dispatch(messageOf([&](SizeBuffer& b) { SZ_Write(b, full.data.get(), length); }), server);
    }
    for (int32_t length = 0; length <= 200; ++length) {
        dispatch(messageOf([&](SizeBuffer& b) { SZ_Write(b, list.data.get(), length); }), master);
    }
    std::mt19937 random(1234);
    for (int round = 0; round < 1000; ++round) {
        views.servers.clear();
        const int32_t code = round % 3 == 0 ? kMasterListCode : kServerInfoReplyCode;
        dispatch(messageOf([&](SizeBuffer& b) {
                     MSG_WriteLong(b, code);
                     const size_t length = random() % 600;
                     for (size_t i = 0; i < length; ++i) {
                         MSG_WriteByte(b, static_cast<int32_t>(random() % 4 == 0 ? 0 : random()));
                     }
                 }),
                 round % 2 == 0 ? server : master);
    }
    const auto lock = lockBrowser();
    EXPECT_LE(server_count, kMaxServers);
    for (const ServerRecord& record : server_table) {
        EXPECT_LT(strnlen(record.address, kTextSize), kTextSize);
        EXPECT_LT(strnlen(record.name, kTextSize), kTextSize);
        EXPECT_LE(record.num_pwads, kMaxPwads);
    }
}

TEST(ReportGate, OneAtATimeAndAtMostOncePerInterval) {
    ReportGate gate(20000);
    const uint32_t start = 0xFFFFF000u;  // the clock wraps in between
    EXPECT_TRUE(gate.tryOpen(start));
    EXPECT_FALSE(gate.tryOpen(start + 30000));  // still on screen
    gate.close();
    EXPECT_TRUE(gate.tryOpen(start + 30000));
    gate.close();
    EXPECT_FALSE(gate.tryOpen(start + 49999));
    EXPECT_TRUE(gate.tryOpen(start + 50000));
}

}  // namespace
