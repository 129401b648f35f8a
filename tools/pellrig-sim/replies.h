#pragma once

#include <cstddef>
#include <span>
#include <string>

#include "browser/messages.h"
#include "datagram.h"
#include "scenario.h"

// The answers the simulated servers send, built once at start-up since a
// scenario never changes while it runs.

// The master's list of game servers, coded. Entries that would take the
// message past `limitBytes` are left off; `listed` receives how many fit.
Datagram buildMasterListReply(std::span<const MasterListEntry> entries, size_t limitBytes, size_t& listed);

// A game server's ServerInfoReply, coded, with the scenario's reply_code and
// truncate_reply applied. Returns false with a reason when the message does not
// fit one datagram.
bool buildServerInfoReply(const ScenarioServer& server, Datagram& out, std::string& error);
