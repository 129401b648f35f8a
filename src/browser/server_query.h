#pragma once

#include <string_view>

#include "net/net_address.h"

// Sending the browser's two requests. Each builds its message in net_outmessage
// under NET_LockOutMessage() and sends it at once. Safe on any thread; never
// call with lockBrowser() held, since resolving a host name may block.

void sendServerInfoQuery(const NetAddress& to);
// Resolves `address` ("host:port") first; returns false, sending nothing, when
// it does not resolve.
bool sendServerInfoQuery(std::string_view address);

void sendMasterListRequest(const NetAddress& to);
