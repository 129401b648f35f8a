#include "shell/parent_console.h"

void useParentConsole() {}
