#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "browser/browser_views.h"
#include "browser/server_table.h"

// The master server's host, a constant of the program that a command-line
// option may replace.
inline constexpr std::string_view kDefaultMasterHost = "master.pellrig.example";

inline constexpr const char* kSelectServerFirst = "Gotta select a server first.";
inline constexpr const char* kNoServerAddress = "You have to enter a server name or IP address.";
inline constexpr const char* kNoPortNumber = "You have to have a port number.";
inline constexpr const char* kErrorCaption = "Error Time!";

struct BrowserConfig {
    // "host" or "host:port"; without a port the master's port 15100 is used.
    std::string masterHost{kDefaultMasterHost};
};

// The operations that fill and refresh the server table on request: the menu
// commands, the custom server query and the selection.
//
// Called on the UI thread (SendMasterRequest also on the log-in thread). Each
// operation takes the browser's lock for its table and row changes and lets go
// of it to resolve and send, which may block while a host name is looked up.
// Failures to resolve are not reported: the server then simply stays silent.
class ServerBrowser {
  public:
    explicit ServerBrowser(BrowserViews views, BrowserConfig config = {});

    // Resolves the master host into master_adr and sends it a MasterListRequest.
    // Does nothing before browser_ready is set, or when the host does not resolve.
    void SendMasterRequest();
    // Empties both lists, then SendMasterRequest(). Does nothing before browser_ready.
    void QueryMaster();
    // Queries the selected server again; without one, "Gotta select a server first.".
    void RefreshSelected();
    // Queries every record at once, unpaced; silent servers are not marked.
    void RefreshAll();
    // Replaces the table and both lists with the one server typed in, and queries
    // it. Returns false, after the error message, when a field is empty (the
    // dialog stays open); true when the dialog may close.
    bool CustomServerQuery(std::string_view host, std::string_view port);
    // A copy of the selected server's record, or none.
    std::optional<ServerRecord> GetSelectedServer() const;
    // Fills the player list from the selected server.
    void ShowSelectedPlayers();

  private:
    BrowserViews m_views;
    BrowserConfig m_config;
};
