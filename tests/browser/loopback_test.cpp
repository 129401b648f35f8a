#include <gtest/gtest.h>

#include <memory>

#include "browser/browser_ops.h"
#include "browser/dispatcher.h"
#include "browser/ping_sweep.h"
#include "browser/receive_thread.h"
#include "browser_test_support.h"

namespace {

// The whole browser over loopback: the launcher's socket, its receive thread and
// sweeps, and fake master and game servers on ports of their own.
class BrowserLoopback : public testing::Test {
  protected:
    static void SetUpTestSuite() { NET_Init({0, "127.0.0.1"}); }
    static void TearDownTestSuite() { NET_Shutdown(); }

    void SetUp() override {
        clearServerTable();
        browser_ready = 10;
    }

    std::unique_ptr<ServerBrowser> browserFor(const FakePeer& master) {
        return std::make_unique<ServerBrowser>(views.views,
                                               BrowserConfig{"127.0.0.1:" + std::to_string(master.port())});
    }

    // A list as if the master at `master` answered a list request.
    void listFrom(const NetAddress& master, SizeBuffer list) {
        {
            const auto lock = lockBrowser();
            master_adr = master;
        }
        dispatcher.dispatchMessage(list, master);
    }

    static ServerInfo infoNamed(std::string name) {
        return ServerInfo{std::move(name), 1, 8, "MAP01", {}, 0, "DOOM II", "doom2.wad", "", "", 0, 0, {}};
    }

    // Declared in the order they must be torn down in reverse: the receive thread
    // first, then the dispatcher, the sweeps and the views they report to.
    TestViews views;
    PingSweeps sweeps{views.servers};
    Dispatcher dispatcher{views.views, &sweeps};
    std::unique_ptr<ReceiveThread> receiver = std::make_unique<ReceiveThread>(dispatcher);
};

int64_t msBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

TEST_F(BrowserLoopback, PingSweepPacesQueriesAndMarksSilentServers) {
    FakePeer quick(replyWith(infoNamed("quick")));
    FakePeer silent(nullptr);
    FakePeer slow(replyWith(infoNamed("slow")), 30ms);
    FakePeer last(replyWith(infoNamed("last")));
    const std::vector<MasterListEntry> list{
        {quick.address(), 0, 0}, {silent.address(), 0, 0}, {slow.address(), 1, 0}, {last.address(), 0, 0}};
    FakePeer master([&](SizeBuffer& b) { writeMasterListReply(b, list); });

    auto browser = browserFor(master);
    views.servers.insertRow(0, 99, 0);
    browser_ready = 0;
    browser->QueryMaster();  // not before the browser part of start-up
    EXPECT_EQ(views.servers.rows().size(), 1u);
    browser_ready = 10;
    browser->QueryMaster();
    ASSERT_TRUE(views.servers.waitUntil(
        [](const auto& rows) {
            return rows.size() == 4 && std::all_of(rows.begin(), rows.end(), [](const auto& row) {
                       return !row.cell(column(ServerColumn::Ping)).empty();
                   });
        },
        5s));
    ASSERT_TRUE(sweeps.waitIdle(2s));

    ASSERT_EQ(master.exchanges().size(), 1u);
    EXPECT_EQ(master.exchanges()[0].request, (std::vector<uint8_t>{0xA3, 0xDB, 0x0B, 0x00, 0x68}));
    const FakePeer* peers[] = {&quick, &silent, &slow, &last};
    std::vector<FakePeer::Exchange> asked;
    for (const FakePeer* peer : peers) {
        const auto exchanges = peer->exchanges();
        ASSERT_EQ(exchanges.size(), 1u);
        EXPECT_EQ(exchanges[0].request, (std::vector<uint8_t>{0xA3, 0xDB, 0x0B, 0x00}));
        asked.push_back(exchanges[0]);
    }
    // One at a time, in list order; never sooner than 70 ms after an answer.
    EXPECT_LT(asked[0].received, asked[1].received);
    EXPECT_GE(msBetween(*asked[0].answered, asked[1].received), 70);
    EXPECT_LT(asked[1].received, asked[2].received);
    EXPECT_GE(msBetween(*asked[2].answered, asked[3].received), 70);

    // The launcher's own clock: the next query more than ping + 70 ms after an
    // answered one, and 100 ms after a silent one.
    const auto lock = lockBrowser();
    EXPECT_EQ(NET_AdrToString(master_adr), master.address());
    const auto sent = [](int i) { return server_table[static_cast<size_t>(i)].send_time; };
    EXPECT_GT(sent(1) - sent(0), static_cast<uint32_t>(server_table[0].ping + 70));
    EXPECT_GE(sent(2) - sent(1), 100u);
    EXPECT_GE(server_table[2].ping, 30);
    EXPECT_GT(sent(3) - sent(2), static_cast<uint32_t>(server_table[2].ping + 70));

    EXPECT_EQ(server_table[1].ping, kSilentPing);
    EXPECT_EQ(cellOf(views.servers, 1, ServerColumn::Ping), "***");
    for (const int answered : {0, 2, 3}) {
        EXPECT_TRUE(server_table[static_cast<size_t>(answered)].answered);
        EXPECT_EQ(cellOf(views.servers, answered, ServerColumn::Ping),
                  std::to_string(server_table[static_cast<size_t>(answered)].ping));
    }
}

TEST_F(BrowserLoopback, NewerListStopsOlderSweep) {
    FakePeer silentA(nullptr);
    FakePeer silentB(nullptr);
    FakePeer silentC(nullptr);
    FakePeer answering(replyWith(infoNamed("new")));
    const NetAddress master = loopback(15100);

    listFrom(master,
             masterListOf({{silentA.address(), 0, 0}, {silentB.address(), 0, 0}, {silentC.address(), 0, 0}}));
    listFrom(master, masterListOf({{answering.address(), 0, 0}}));

    ASSERT_TRUE(views.servers.waitUntil(
        [](const auto& rows) { return !rows.empty() && !rows[0].cell(column(ServerColumn::Ping)).empty(); },
        5s));
    ASSERT_TRUE(sweeps.waitIdle(2s));
    EXPECT_EQ(silentB.exchanges().size() + silentC.exchanges().size(), 0u);
    // Only the new list's row is left, and the old sweep never marked it.
    const auto rows = views.servers.rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0].cell(column(ServerColumn::Ping)), "***");
    EXPECT_EQ(server_count, 1);
}

TEST_F(BrowserLoopback, CustomQueryByHostNameFindsItsAnswer) {
    receiver.reset();  // so the row can be seen before the answer is taken
    FakePeer server(replyWith(infoNamed("custom")));
    FakePeer master(nullptr);
    auto browser = browserFor(master);

    EXPECT_FALSE(browser->CustomServerQuery("", "10666"));
    EXPECT_FALSE(browser->CustomServerQuery("localhost", ""));
    EXPECT_EQ(views.messages.messages(),
              (std::vector<MemoryQueuedMessageView::Message>{
                  {"You have to enter a server name or IP address.", "Error Time!"},
                  {"You have to have a port number.", "Error Time!"}}));

    views.players.insertRow(0, 0, 0);
    ASSERT_TRUE(browser->CustomServerQuery("localhost", std::to_string(server.port())));
    EXPECT_TRUE(views.players.rows().empty());
    ASSERT_EQ(views.servers.rows().size(), 1u);
    EXPECT_EQ(views.servers.rows()[0].cell(column(ServerColumn::Name)), "localhost");

    receiver = std::make_unique<ReceiveThread>(dispatcher);
    EXPECT_TRUE(views.servers.waitUntil(
        [](const auto& rows) { return rows[0].cell(column(ServerColumn::Name)) == "custom"; }, 5s));
    const auto lock = lockBrowser();
    EXPECT_STREQ(server_table[0].address, server.address().c_str());
    EXPECT_TRUE(server_table[0].answered);
}

TEST_F(BrowserLoopback, RefreshSelectedNeedsASelectionAndQueriesIt) {
    FakePeer server(replyWith(infoNamed("refreshed")));
    FakePeer master(nullptr);
    auto browser = browserFor(master);
    SizeBuffer list = masterListOf({{server.address(), 0, 0}});
    {
        const auto lock = lockBrowser();
        master_adr = loopback(15100);
    }
    // Listed without a sweep, so only the refresh asks the server.
    Dispatcher(views.views, nullptr).dispatchMessage(list, loopback(15100));

    browser->RefreshSelected();
    EXPECT_EQ(views.messages.messages(),
              (std::vector<MemoryQueuedMessageView::Message>{{"Gotta select a server first.", ""}}));
    EXPECT_FALSE(browser->GetSelectedServer());

    views.servers.select(0);
    browser->RefreshSelected();
    EXPECT_TRUE(views.servers.waitUntil(
        [](const auto& rows) { return rows[0].cell(column(ServerColumn::Name)) == "refreshed"; }, 5s));
    EXPECT_EQ(server.exchanges().size(), 1u);
    const std::optional<ServerRecord> selected = browser->GetSelectedServer();
    ASSERT_TRUE(selected);
    EXPECT_STREQ(selected->name, "refreshed");
}

}  // namespace
