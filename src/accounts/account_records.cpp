#include "accounts/account_records.h"

#include <array>
#include <cctype>

std::string_view accountLevelText(int32_t level) {
    static constexpr std::array<std::string_view, 3> kTexts{"Warrior (normal)", "Vorlok", "Loup de Garou"};
    if (level < 0 || level >= static_cast<int32_t>(kTexts.size())) {
        return {};
    }
    return kTexts[static_cast<size_t>(level)];
}

bool sameAccountName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(a[i])) !=
            std::toupper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}
