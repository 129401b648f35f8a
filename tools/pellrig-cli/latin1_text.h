#pragma once

#include <optional>
#include <string>
#include <string_view>

// The core's texts are 8-bit, one byte a character, as the servers and the
// settings file keep them; pellrig-cli talks UTF-8 with the terminal, JSON
// included. A byte stands for its Latin-1 character both ways.

// `text` in UTF-8, each byte as its Latin-1 character: always valid UTF-8,
// whatever the bytes, so JSON can carry it and a terminal shows it.
std::string utf8FromLatin1(std::string_view text);

// The Latin-1 bytes of UTF-8 `text`; none when it is not UTF-8 or holds a
// character that has no byte of its own (past U+00FF).
std::optional<std::string> latin1FromUtf8(std::string_view text);

// How many characters UTF-8 `text` shows, for aligning columns.
size_t utf8Length(std::string_view text);
