#pragma once

#include <cstdint>
#include <memory>
#include <string>

// A fixed-capacity byte buffer with a fill level and a read cursor. Messages and
// the configuration file are flat runs of little-endian fields built and read
// through the SZ_ and MSG_ operations below.
//
// A buffer is not locked: each operation on one buffer must not overlap another
// operation on the same buffer.
struct SizeBuffer {
    std::unique_ptr<uint8_t[]> data;  // `maxsize` bytes, owned by the buffer
    int32_t maxsize = 0;
    int32_t cursize = 0;    // valid bytes: appended so far, or loaded for reading
    int32_t readcount = 0;  // next byte to read; runs past `cursize` after a failed read
};

// Longest text MSG_ReadString returns; the rest of a longer string stays unread.
inline constexpr int kMaxReadString = 2047;

// Allocates `size` bytes (replacing earlier storage) and empties the buffer.
void SZ_Init(SizeBuffer& buffer, int32_t size);
void SZ_Clear(SizeBuffer& buffer);

// Reserves `length` bytes after the valid ones and returns them. When they do
// not fit, prints an overflow message to standard output and empties the buffer
// first. A request larger than the whole capacity (or negative) leaves the
// buffer empty and returns nullptr, so nothing is ever written past the storage.
uint8_t* SZ_GetSpace(SizeBuffer& buffer, int32_t length);
void SZ_Write(SizeBuffer& buffer, const void* bytes, int32_t length);

void MSG_WriteByte(SizeBuffer& buffer, int32_t value);
void MSG_WriteShort(SizeBuffer& buffer, int32_t value);
void MSG_WriteLong(SizeBuffer& buffer, int32_t value);
// Appends the text and one NUL; a null text appends the single NUL.
void MSG_WriteString(SizeBuffer& buffer, const char* text);
void MSG_WriteString(SizeBuffer& buffer, const std::string& text);

// Replaces the buffer's contents with `length` bytes (cut to the capacity) and
// begins reading them. Returns the number of bytes loaded.
int32_t SZ_Load(SizeBuffer& buffer, const void* bytes, int32_t length);
void MSG_BeginReading(SizeBuffer& buffer);

// Each read returns the next field and advances the cursor by its width. A read
// that would pass `cursize` returns -1 and still advances, so every later read
// also returns -1.
int32_t MSG_ReadChar(SizeBuffer& buffer);   // signed byte
int32_t MSG_ReadByte(SizeBuffer& buffer);   // unsigned byte
int32_t MSG_ReadShort(SizeBuffer& buffer);  // signed 16-bit
int32_t MSG_ReadLong(SizeBuffer& buffer);   // 32-bit
// Reads up to a NUL, a byte 255 or the end of the message (the stopping byte is
// consumed), keeping at most kMaxReadString characters.
std::string MSG_ReadString(SizeBuffer& buffer);
