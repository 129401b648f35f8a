#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <string_view>

// The records' texts live in fixed arrays, NUL-terminated, as the messages
// carry them.

// A record's text up to its NUL, never past the array.
template <size_t N>
std::string_view recordText(const char (&field)[N]) {
    return {field, strnlen(field, N)};
}

// Copies `text` into a record's field, cut to fit, always NUL-terminated.
template <size_t N>
void copyText(char (&field)[N], std::string_view text) {
    const size_t length = std::min(text.size(), N - 1);
    if (length > 0) {
        std::memcpy(field, text.data(), length);
    }
    field[length] = '\0';
}
