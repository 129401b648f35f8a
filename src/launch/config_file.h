#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <vector>

#include "launch/user_messages.h"

// The settings file: one binary record of little-endian fields (the message
// buffer primitives), at most 8192 bytes, with each byte 0x0A stored on disk as
// 0x0D 0x0A on every platform, as files written by earlier versions expect.

inline constexpr const char* kConfigFileName = "pellrig32.cfg";
inline constexpr int32_t kConfigMaxSize = 8192;

inline constexpr const char* kUnableToCreateConfig = "BV_SaveConfig: Unable to create file!";
inline constexpr const char* kConfigTooLarge =
    "BV_SaveConfig: Too many settings to fit in the file!\nYour settings were not saved.";

// The file that a location names: "pellrig32.cfg" in the working directory for
// an empty location, that name inside an existing directory, else the location
// itself.
std::filesystem::path configFilePath(const std::filesystem::path& location);

// Reads the file into the settings and appends its directories to
// wad_directories (so a second load in one run adds them again). A missing or
// unreadable file, or one of another version, sets the integer defaults and
// changes nothing else. A file that ends early stores -1 for each missing
// number and an empty text for each missing string. A text that fills a whole
// read (2047 characters) is cut to the 2046 a save can write back. Reports nothing.
// Takes lockSettings().
void BV_LoadConfig(const std::filesystem::path& location = {});

// BV_LoadConfig for the file's bytes as read from disk (line ends as stored),
// from which only the first 8192 bytes of the record are taken. Takes lockSettings().
void loadConfigBytes(std::span<const uint8_t> disk);

// The bytes BV_SaveConfig writes for the current settings, line ends as stored;
// none for a record longer than 8192 bytes. Takes lockSettings().
std::optional<std::vector<uint8_t>> configFileBytes();

// Writes every setting and the directories, newest first. The old file is
// replaced only once the new record is completely written; when that fails the
// user sees "BV_SaveConfig: Unable to create file!" and the old file stays as it
// was. A record longer than 8192 bytes is not written at all (kConfigTooLarge).
// Returns whether the file was written. Takes lockSettings().
bool BV_SaveConfig(ModalMessageView& messages, const std::filesystem::path& location = {});
