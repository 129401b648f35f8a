#include "launch/unattended_settings.h"

#include "launch/config_file.h"
#include "launch/settings.h"

bool writeUnattendedSettings(const std::filesystem::path& location, const std::string& user,
                             const std::string& password, ModalMessageView& messages) {
    resetSettings();
    BV_LoadConfig(location);
    {
        const auto lock = lockSettings();
        bv_rememberpassword = 1;
        bv_autologin = 1;
        bv_firstrun = 0;
        bv_shownews = 0;
        bv_username = user;
        bv_password = password;
    }
    const bool saved = BV_SaveConfig(messages, location);
    resetSettings();
    return saved;
}
