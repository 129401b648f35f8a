#include "launch/config_file.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "launch/file_replace.h"
#include "launch/settings.h"
#include "net/size_buffer.h"

namespace {

using Bytes = std::vector<uint8_t>;

// The longest text that reads back whole: a read stops after kMaxReadString
// characters, and so leaves the NUL of a text that long unread for the next field.
constexpr size_t kMaxStoredText = kMaxReadString - 1;
static_assert(kMaxExtraParams <= kMaxStoredText);

// The part of a text that reads back unchanged: up to a NUL or a byte 255, and
// no longer than kMaxStoredText. Entry points refuse longer texts; this only
// keeps a text set some other way from shifting every field after it.
std::string_view storable(std::string_view text) {
    const size_t end = text.find_first_of(std::string_view("\0\xFF", 2));
    return text.substr(0, std::min({end, text.size(), kMaxStoredText}));
}

// A text field. One that fills a whole read came from no save and did not end
// there; it is kept as long as a save can write it, so that what was loaded is
// saved as it is.
std::string readText(SizeBuffer& record) {
    std::string text = MSG_ReadString(record);
    text.resize(std::min(text.size(), kMaxStoredText));
    return text;
}

void writeText(SizeBuffer& record, std::string_view text) {
    SZ_Write(record, text.data(), static_cast<int32_t>(text.size()));
    MSG_WriteByte(record, 0);
}

// Caller holds lockSettings().
std::optional<Bytes> buildRecord() {
    const bool remember = (bv_rememberpassword & 0xFF) != 0;
    std::vector<std::string_view> texts;
    if (remember) {
        texts = {storable(bv_username), storable(bv_password)};
    }
    texts.push_back(storable(bv_extraparams));
    texts.push_back(storable(bv_serverpassword));

    // Measured first: a buffer that overflows starts again from its beginning,
    // which would give a record that loads as something else.
    size_t size = 1 + 1 + 4 + 4 + 1;
    for (const std::string_view text : texts) {
        size += text.size() + 1;
    }
    int32_t count = 0;
    for (const WadDirectory& directory : wad_directories) {
        size += 1 + 2 + storable(directory.path).size() + 1;
        ++count;
    }
    if (size > static_cast<size_t>(kConfigMaxSize)) {
        return std::nullopt;
    }

    SizeBuffer record;
    SZ_Init(record, kConfigMaxSize);
    MSG_WriteByte(record, CONFIG_VERSION);
    MSG_WriteByte(record, bv_rememberpassword);
    for (const std::string_view text : texts) {
        writeText(record, text);
    }
    MSG_WriteByte(record, bv_lastarticleno);
    MSG_WriteByte(record, bv_shownews);
    MSG_WriteByte(record, bv_autologin);
    MSG_WriteByte(record, bv_firstrun);
    MSG_WriteLong(record, count);
    for (const WadDirectory& directory : wad_directories) {
        MSG_WriteByte(record, 1);
        MSG_WriteShort(record, directory.listIndex);
        writeText(record, storable(directory.path));
    }
    MSG_WriteByte(record, 0);
    return Bytes(record.data.get(), record.data.get() + record.cursize);
}

Bytes toDiskLineEnds(const Bytes& record) {
    Bytes disk;
    disk.reserve(record.size() + record.size() / 8);
    for (const uint8_t byte : record) {
        if (byte == 0x0A) {
            disk.push_back(0x0D);
        }
        disk.push_back(byte);
    }
    return disk;
}

// At most `limit` bytes of the record; a lone 0x0D stays as it is.
Bytes fromDiskLineEnds(std::span<const uint8_t> disk, size_t limit) {
    Bytes record;
    for (size_t i = 0; i < disk.size() && record.size() < limit; ++i) {
        if (disk[i] == 0x0D && i + 1 < disk.size() && disk[i + 1] == 0x0A) {
            ++i;
        }
        record.push_back(disk[i]);
    }
    return record;
}

// Reads the first `limit` bytes of the file; false when it cannot be opened or read.
bool readFileStart(const std::filesystem::path& path, size_t limit, Bytes& bytes) {
    std::FILE* file = std::fopen(path.string().c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    bytes.resize(limit);
    bytes.resize(std::fread(bytes.data(), 1, limit, file));
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed;
}

}  // namespace

std::filesystem::path configFilePath(const std::filesystem::path& location) {
    if (location.empty()) {
        return kConfigFileName;
    }
    std::error_code error;
    if (std::filesystem::is_directory(location, error)) {
        return location / kConfigFileName;
    }
    return location;
}

void BV_LoadConfig(const std::filesystem::path& location) {
    // Each record byte takes at most two bytes on disk.
    Bytes disk;
    if (!readFileStart(configFilePath(location), 2 * kConfigMaxSize + 1, disk)) {
        const auto lock = lockSettings();
        BV_DefaultConfig();
        return;
    }
    loadConfigBytes(disk);
}

void loadConfigBytes(std::span<const uint8_t> disk) {
    const auto lock = lockSettings();
    const Bytes bytes = fromDiskLineEnds(disk, kConfigMaxSize);
    // A buffer of its own, so that loading never disturbs the network's current message.
    SizeBuffer record;
    SZ_Init(record, kConfigMaxSize);
    SZ_Load(record, bytes.data(), static_cast<int32_t>(bytes.size()));

    if (MSG_ReadByte(record) != CONFIG_VERSION) {
        BV_DefaultConfig();
        return;
    }
    bv_rememberpassword = MSG_ReadByte(record);
    if (bv_rememberpassword > 0) {
        bv_username = readText(record);
        bv_password = readText(record);
    }
    bv_extraparams = readText(record);
    bv_serverpassword = readText(record);
    bv_lastarticleno = MSG_ReadByte(record);
    bv_shownews = MSG_ReadByte(record);
    bv_autologin = MSG_ReadByte(record);
    bv_firstrun = MSG_ReadByte(record);
    MSG_ReadLong(record);  // the count; the list is read up to its end marker instead
    while (MSG_ReadByte(record) > 0) {
        const int32_t listIndex = MSG_ReadShort(record);
        AddWadDirectory(readText(record), listIndex);
    }
}

std::optional<Bytes> configFileBytes() {
    std::optional<Bytes> record;
    {
        const auto lock = lockSettings();
        record = buildRecord();
    }
    if (!record) {
        return std::nullopt;
    }
    return toDiskLineEnds(*record);
}

bool BV_SaveConfig(ModalMessageView& messages, const std::filesystem::path& location) {
    const std::optional<Bytes> disk = configFileBytes();
    if (!disk) {
        messages.showMessage({kConfigTooLarge, "", MessageIcon::Exclamation});
        return false;
    }
    if (!replaceFileContents(configFilePath(location), *disk)) {
        messages.showMessage({kUnableToCreateConfig, "", MessageIcon::None});
        return false;
    }
    return true;
}
