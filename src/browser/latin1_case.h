#pragma once

// Server texts are Latin-1: its capitals are A-Z and 0xC0-0xDE but the
// multiplication sign 0xD7, each 0x20 below its small letter.
inline unsigned char foldLatin1Case(char c) {
    const auto byte = static_cast<unsigned char>(c);
    const bool capital = (byte >= 'A' && byte <= 'Z') || (byte >= 0xC0 && byte <= 0xDE && byte != 0xD7);
    return capital ? static_cast<unsigned char>(byte + 0x20) : byte;
}
