#include "cli_preferences.h"

#include "error_output.h"

Preferences loadCliPreferences() {
    LoadedPreferences loaded = loadPreferences({});
    if (loaded.message) {
        printFailure(loaded.message->text);
    }
    return std::move(loaded.preferences);
}
