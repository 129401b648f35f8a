#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "browser/browser_ops.h"
#include "browser/dispatcher.h"
#include "browser/ping_sweep.h"
#include "browser/receive_thread.h"
#include "browser_test_support.h"
#include "net/transport.h"

namespace {

const Bytes kServerInfoQuery{0xA3, 0xDB, 0x0B, 0x00};

// A game server that answers every query with its state named `name`.
Peer::Answer serverNamed(const std::string& name) {
    return always({bytesOf([&](SizeBuffer& b) {
        writeServerInfoReply(
            b, ServerInfo{name, 1, 8, "MAP01", {}, 0, "DOOM II", "doom2.wad", "", "", 0, 0, {}});
    })});
}

bool pingShown(const MemoryRowView::Row& row) {
    return !row.cell(column(ServerColumn::Ping)).empty();
}

// The whole browser over loopback: the launcher's socket, its receive thread and
// sweeps, and fake master and game servers on ports of their own.
class BrowserLoopback : public testing::Test {
  protected:
    static void SetUpTestSuite() { NET_Init(loopbackConfig()); }
    static void TearDownTestSuite() { NET_Shutdown(); }

    void SetUp() override {
        clearServerTable();
        browser_ready = 10;
    }

    std::unique_ptr<ServerBrowser> browserFor(const Peer& master) {
        return std::make_unique<ServerBrowser>(views.views, BrowserConfig{master.text()});
    }

    // A list as if the master at `master` answered a list request.
    void listFrom(const NetAddress& master, SizeBuffer list) {
        {
            const auto lock = lockBrowser();
            master_adr = master;
        }
        dispatcher.dispatchMessage(list, master, Sys_Milliseconds());
    }

    // Declared in the order they must be torn down in reverse: the receive thread
    // first, then the dispatcher, the sweeps and the views they report to.
    TestViews views;
    PingSweeps sweeps{views.servers};
    Dispatcher dispatcher{views.views, &sweeps};
    std::unique_ptr<ReceiveThread> receiver = std::make_unique<ReceiveThread>(dispatcher);
};

// The sweep's pacing is measured in bench/sweep_bench.cpp, not here.
TEST_F(BrowserLoopback, PingSweepQueriesEachServerAndMarksSilentOnes) {
    Peer first(serverNamed("first"));
    Peer silent;
    Peer last(serverNamed("last"));
    const std::vector<MasterListEntry> list{{first.text(), 0, 0}, {silent.text(), 0, 0}, {last.text(), 1, 0}};
    Peer master(always({bytesOf([&](SizeBuffer& b) { writeMasterListReply(b, list); })}));

    auto browser = browserFor(master);
    views.servers.insertRow(0, 99, 0);
    browser_ready = 0;
    browser->QueryMaster();  // not before the browser part of start-up
    EXPECT_EQ(views.servers.rows().size(), 1u);
    browser_ready = 10;
    browser->QueryMaster();
    const auto swept = [](const auto& rows) {
        return rows.size() == 3 && std::all_of(rows.begin(), rows.end(), [](const auto& row) {
                   const std::string ping = row.cell(column(ServerColumn::Ping));
                   return row.itemData == 1 ? ping == "***" : !ping.empty() && ping != "***";
               });
    };
    ASSERT_TRUE(views.servers.waitUntil(swept, kEventWait));
    ASSERT_TRUE(sweeps.waitIdle(kEventWait));

    EXPECT_EQ(master.requests(), (std::vector<Bytes>{{0xA3, 0xDB, 0x0B, 0x00, 0x68}}));
    for (const Peer* peer : {&first, &silent, &last}) {
        EXPECT_EQ(peer->requests(), std::vector<Bytes>{kServerInfoQuery});
    }

    // The fast refresh asks an answering server once and a silent one three times.
    sweeps.setFast(true);
    browser->QueryMaster();
    ASSERT_EQ(silent.requests(4).size(), 4u);
    ASSERT_TRUE(sweeps.waitIdle(kEventWait));
    ASSERT_TRUE(views.servers.waitUntil(swept, kEventWait));
    EXPECT_EQ(silent.requests().size(), 4u);
    EXPECT_EQ(first.requests().size(), 2u);
    EXPECT_EQ(last.requests().size(), 2u);
    const auto lock = lockBrowser();
    EXPECT_EQ(master_adr, master.address());
    EXPECT_EQ(cellOf(views.servers, 2, ServerColumn::Ping), std::to_string(server_table[2].ping));
}

TEST_F(BrowserLoopback, NewerListStopsOlderSweep) {
    Peer silentA;
    Peer silentB;
    Peer answering(serverNamed("new"));
    const NetAddress master = loopback(15100);

    listFrom(master, masterListOf({{silentA.text(), 0, 0}, {silentB.text(), 0, 0}}));
    ASSERT_EQ(silentA.requests(1).size(), 1u);  // the old sweep waits for its answer
    listFrom(master, masterListOf({{answering.text(), 0, 0}}));

    ASSERT_TRUE(views.servers.waitUntil([](const auto& rows) { return !rows.empty() && pingShown(rows[0]); },
                                        kEventWait));
    ASSERT_TRUE(sweeps.waitIdle(kEventWait));
    // Only the new list's row is left, and the old sweep never marked it.
    const auto rows = views.servers.rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_NE(rows[0].cell(column(ServerColumn::Ping)), "***");
    EXPECT_EQ(answering.requests().size(), 1u);
    EXPECT_EQ(server_count, 1);
}

TEST_F(BrowserLoopback, CustomQueryAndRefreshOfTheSelectedServer) {
    receiver.reset();  // so the row can be seen before the answer is taken
    Peer server(serverNamed("custom"));
    Peer master;
    auto browser = browserFor(master);
    EXPECT_FALSE(browser->CustomServerQuery("", "10666"));
    EXPECT_FALSE(browser->CustomServerQuery("127.0.0.1", ""));
    browser->RefreshSelected();
    EXPECT_EQ(views.messages.messages(),
              (std::vector<MemoryQueuedMessageView::Message>{
                  {"You have to enter a server name or IP address.", "Error Time!"},
                  {"You have to have a port number.", "Error Time!"},
                  {"Gotta select a server first.", ""}}));

    // A host written otherwise than the sender's address text: answers are
    // matched to the address it stands for.
    views.players.insertRow(0, 0, 0);
    ASSERT_TRUE(browser->CustomServerQuery("127.000.000.001", std::to_string(NET_Port(server.address()))));
    EXPECT_TRUE(views.players.rows().empty());
    ASSERT_EQ(views.servers.rows().size(), 1u);
    EXPECT_EQ(views.servers.rows()[0].cell(column(ServerColumn::Name)), "127.000.000.001");
    EXPECT_FALSE(browser->GetSelectedServer());

    receiver = std::make_unique<ReceiveThread>(dispatcher);
    const auto named = [](const char* name) {
        return [name](const auto& rows) { return rows[0].cell(column(ServerColumn::Name)) == name; };
    };
    ASSERT_TRUE(views.servers.waitUntil(named("custom"), kEventWait));
    server.answerWith(serverNamed("refreshed"));
    views.servers.select(0);
    browser->RefreshSelected();
    ASSERT_TRUE(views.servers.waitUntil(named("refreshed"), kEventWait));
    EXPECT_EQ(server.requests(), (std::vector<Bytes>{kServerInfoQuery, kServerInfoQuery}));
    const std::optional<ServerRecord> selected = browser->GetSelectedServer();
    ASSERT_TRUE(selected);
    EXPECT_EQ(selected->address, server.text());
}

}  // namespace
