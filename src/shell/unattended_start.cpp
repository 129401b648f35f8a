#include "shell/unattended_start.h"

#include "launch/config_file.h"
#include "launch/settings.h"

void writeUnattendedSettings(const std::filesystem::path& location, const std::string& user,
                             const std::string& password, UserMessageSink& messages) {
    resetSettings();
    {
        const auto lock = lockSettings();
        bv_rememberpassword = 1;
        bv_autologin = 1;
        bv_firstrun = 0;
        bv_shownews = 0;
        bv_username = user;
        bv_password = password;
    }
    BV_SaveConfig(messages, location);
    resetSettings();
}
