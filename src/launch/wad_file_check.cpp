#include "launch/wad_file_check.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>

#include "launch/game_launch.h"

namespace {

constexpr size_t kHeaderSize = 12;
constexpr size_t kDirectoryEntrySize = 16;

uint32_t littleEndian32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

bool endsInWad(std::string_view name) {
    constexpr std::string_view kExtension = ".wad";
    if (name.size() <= kExtension.size()) {
        return false;
    }
    const std::string_view end = name.substr(name.size() - kExtension.size());
    return std::equal(end.begin(), end.end(), kExtension.begin(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool isFetchableWadName(std::string_view name) {
    const bool printable = std::all_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte >= 0x20 && byte != 0x7F;
    });
    return printable && name.size() <= kMaxFetchedWadName && isPlainFileName(name) && endsInWad(name) &&
           name.find("..") == std::string_view::npos;
}

WadFileCheck checkWadFile(const std::filesystem::path& file) {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(file, error);
    const std::unique_ptr<std::FILE, FileCloser> in(std::fopen(file.string().c_str(), "rb"));
    if (error || in == nullptr) {
        return WadFileCheck::Unreadable;
    }
    std::array<uint8_t, kHeaderSize> header{};
    if (std::fread(header.data(), 1, header.size(), in.get()) != header.size()) {
        return WadFileCheck::NotAWad;
    }
    const std::string_view magic(reinterpret_cast<const char*>(header.data()), 4);
    if (magic == "IWAD") {
        return WadFileCheck::Iwad;
    }
    if (magic != "PWAD") {
        return WadFileCheck::NotAWad;
    }
    const uint64_t lumps = littleEndian32(&header[4]);
    const uint64_t directory = littleEndian32(&header[8]);
    // Signed in the format: a count or offset with the top bit set is negative.
    if (lumps > INT32_MAX || directory > INT32_MAX || directory + lumps * kDirectoryEntrySize > size) {
        return WadFileCheck::OutsideTheFile;
    }
    std::vector<uint8_t> entries(static_cast<size_t>(lumps * kDirectoryEntrySize));
    if (std::fseek(in.get(), static_cast<long>(directory), SEEK_SET) != 0 ||
        std::fread(entries.data(), 1, entries.size(), in.get()) != entries.size()) {
        return WadFileCheck::Unreadable;
    }
    for (size_t at = 0; at < entries.size(); at += kDirectoryEntrySize) {
        const uint64_t position = littleEndian32(&entries[at]);
        const uint64_t length = littleEndian32(&entries[at + 4]);
        if (position > INT32_MAX || length > INT32_MAX || position + length > size) {
            return WadFileCheck::OutsideTheFile;
        }
    }
    return WadFileCheck::Pwad;
}
