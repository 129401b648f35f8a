#pragma once

#include "browser/server_table.h"
#include "launch/launch_target.h"

// What a launch needs of a server's record: its address, IWAD and PWADs. The
// launch knows nothing of the server table.
LaunchTarget launchTargetOf(const ServerRecord& record);
