#pragma once

#include "launch/preferences.h"

// The preferences of pellrig.json in the working directory, as the program
// keeps them beside pellrig32.cfg. A damaged file gives the defaults, its
// message on standard error.
Preferences loadCliPreferences();
