#pragma once

#include <filesystem>
#include <string_view>

// What a file fetched for the player must be before it joins a WAD directory.

// The longest name a fetched WAD may have.
inline constexpr size_t kMaxFetchedWadName = 31;

// Whether a name a game server announced may become a file in a WAD directory:
// a plain file name (no folder, drive or ".."), printable, at most
// kMaxFetchedWadName characters, ending in ".wad" in any case.
bool isFetchableWadName(std::string_view name);

enum class WadFileCheck {
    Pwad,            // a PWAD whose directory and lumps all lie inside the file
    Unreadable,      // the file cannot be read
    NotAWad,         // it does not start as a WAD does
    Iwad,            // a game's own WAD, which is never fetched
    OutsideTheFile,  // its directory or a lump lies past its end
};

// Reads the header and the directory of `file`.
WadFileCheck checkWadFile(const std::filesystem::path& file);
