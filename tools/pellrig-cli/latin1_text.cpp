#include "latin1_text.h"

#include <cstdint>

std::string utf8FromLatin1(std::string_view text) {
    std::string utf8;
    utf8.reserve(text.size());
    for (const char c : text) {
        const auto byte = static_cast<uint8_t>(c);
        if (byte < 0x80) {
            utf8 += c;
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

std::optional<std::string> latin1FromUtf8(std::string_view text) {
    std::string latin1;
    latin1.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<uint8_t>(text[i]);
        if (lead < 0x80) {
            latin1 += text[i];
            continue;
        }
        // Latin-1 past ASCII is exactly the two-byte forms that start with C2 or C3.
        if ((lead != 0xC2 && lead != 0xC3) || i + 1 == text.size()) {
            return std::nullopt;
        }
        const auto trail = static_cast<uint8_t>(text[++i]);
        if ((trail & 0xC0) != 0x80) {
            return std::nullopt;
        }
        latin1 += static_cast<char>(((lead & 0x03) << 6) | (trail & 0x3F));
    }
    return latin1;
}

size_t utf8Length(std::string_view text) {
    size_t length = 0;
    for (const char c : text) {
        if ((static_cast<uint8_t>(c) & 0xC0) != 0x80) {
            ++length;
        }
    }
    return length;
}
