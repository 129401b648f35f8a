#include "net/size_buffer.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>

void SZ_Init(SizeBuffer& buffer, int32_t size) {
    buffer = SizeBuffer{};
    if (size <= 0) {
        return;
    }
    buffer.data = std::make_unique<uint8_t[]>(static_cast<size_t>(size));
    buffer.maxsize = size;
}

void SZ_Clear(SizeBuffer& buffer) {
    buffer.cursize = 0;
}

uint8_t* SZ_GetSpace(SizeBuffer& buffer, int32_t length) {
    if (length < 0) {
        return nullptr;
    }
    if (int64_t{buffer.cursize} + length > buffer.maxsize) {
        if (length > buffer.maxsize) {
            std::printf("SZ_GetSpace: %i is > full buffer size", length);
        } else {
            std::printf("SZ_GetSpace: overflow\n");
        }
        SZ_Clear(buffer);
        if (length > buffer.maxsize) {
            return nullptr;
        }
    }
    uint8_t* space = buffer.data.get() + buffer.cursize;
    buffer.cursize += length;
    return space;
}

void SZ_Write(SizeBuffer& buffer, const void* bytes, int32_t length) {
    uint8_t* space = SZ_GetSpace(buffer, length);
    if (space != nullptr && length > 0) {
        std::memcpy(space, bytes, static_cast<size_t>(length));
    }
}

namespace {

void writeLittleEndian(SizeBuffer& buffer, uint32_t value, int32_t width) {
    uint8_t* space = SZ_GetSpace(buffer, width);
    if (space == nullptr) {
        return;
    }
    for (int32_t i = 0; i < width; ++i) {
        space[i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

// Returns the bytes of a field of `width` at the cursor, or nullptr when the
// message ends first. The cursor advances either way.
const uint8_t* takeField(SizeBuffer& buffer, int32_t width) {
    const int64_t start = buffer.readcount;
    buffer.readcount = static_cast<int32_t>(std::min<int64_t>(start + width, INT32_MAX));
    if (start + width > buffer.cursize || start < 0) {
        return nullptr;
    }
    return buffer.data.get() + start;
}

}  // namespace

void MSG_WriteByte(SizeBuffer& buffer, int32_t value) {
    writeLittleEndian(buffer, static_cast<uint32_t>(value), 1);
}

void MSG_WriteShort(SizeBuffer& buffer, int32_t value) {
    writeLittleEndian(buffer, static_cast<uint32_t>(value), 2);
}

void MSG_WriteLong(SizeBuffer& buffer, int32_t value) {
    writeLittleEndian(buffer, static_cast<uint32_t>(value), 4);
}

void MSG_WriteString(SizeBuffer& buffer, const char* text) {
    if (text == nullptr) {
        text = "";
    }
    SZ_Write(buffer, text, static_cast<int32_t>(std::strlen(text)) + 1);
}

void MSG_WriteString(SizeBuffer& buffer, const std::string& text) {
    MSG_WriteString(buffer, text.c_str());
}

int32_t SZ_Load(SizeBuffer& buffer, const void* bytes, int32_t length) {
    const int32_t loaded = std::max(0, std::min(length, buffer.maxsize));
    if (loaded > 0) {
        std::memcpy(buffer.data.get(), bytes, static_cast<size_t>(loaded));
    }
    buffer.cursize = loaded;
    MSG_BeginReading(buffer);
    return loaded;
}

void MSG_BeginReading(SizeBuffer& buffer) {
    buffer.readcount = 0;
}

int32_t MSG_ReadChar(SizeBuffer& buffer) {
    const uint8_t* field = takeField(buffer, 1);
    return field == nullptr ? -1 : static_cast<int8_t>(field[0]);
}

int32_t MSG_ReadByte(SizeBuffer& buffer) {
    const uint8_t* field = takeField(buffer, 1);
    return field == nullptr ? -1 : field[0];
}

int32_t MSG_ReadShort(SizeBuffer& buffer) {
    const uint8_t* field = takeField(buffer, 2);
    return field == nullptr ? -1 : static_cast<int16_t>(field[0] | (field[1] << 8));
}

int32_t MSG_ReadLong(SizeBuffer& buffer) {
    const uint8_t* field = takeField(buffer, 4);
    if (field == nullptr) {
        return -1;
    }
    const uint32_t value = field[0] | (field[1] << 8) | (field[2] << 16) | (uint32_t{field[3]} << 24);
    return static_cast<int32_t>(value);
}

std::string MSG_ReadString(SizeBuffer& buffer) {
    std::string text;
    while (text.size() < static_cast<size_t>(kMaxReadString)) {
        const int32_t c = MSG_ReadChar(buffer);
        if (c == 0 || c == -1) {
            break;
        }
        text.push_back(static_cast<char>(c));
    }
    return text;
}
