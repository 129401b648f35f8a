#pragma once

#include <cstdint>
#include <filesystem>
#include <span>

// Replaces the file at `path` with `bytes` so that it holds either its old
// contents or all of the new ones, never a part: the bytes go to a new file in
// the same folder, which takes the old file's place only once completely
// written. On POSIX the new file is readable and writable by its owner only.
// Returns false when that fails; the old file is then untouched and no new file
// is left behind.
bool replaceFileContents(const std::filesystem::path& path, std::span<const uint8_t> bytes);

// Creates a new, empty file named `name` followed by a unique suffix, in the
// same folder, readable and writable by its owner only. Returns its path, or
// an empty one when that fails.
std::filesystem::path createFileBeside(const std::filesystem::path& name);

// Gives the complete file `from` the name `to`, unless a file of that name
// exists: then, or when the move fails, returns false and leaves both alone.
bool moveUnlessPresent(const std::filesystem::path& from, const std::filesystem::path& to);
