// Feeds an HTTP response to the news check's reader the way the socket hands it
// over, in reads of up to 4096 bytes, and reads the article number from the
// stamp file bytes it keeps. However the reads split the response, the same
// body must come out, within the body limit, and read back from the file as it
// arrived.
//
// Input: [body limit][split seed: 2 bytes][response]. A limit byte of 0 stands
// for the default limit, any other for that many times 64 bytes.
#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "news/news_check.h"
#include "news/news_stamp.h"

namespace {

// What a response leaves in the stamp file, and whether it grew too large.
struct Kept {
    std::string disk;
    bool tooLarge = false;
};

// Where the header goes in the check; nothing reads it.
std::FILE* headerEcho() {
    static std::FILE* const echo = std::fopen("/dev/null", "w");
    return echo;
}

// Reads of 1 to 4096 bytes, their lengths drawn from `seed`: a read of a few
// bytes is about as likely as one of a few thousand.
template <typename Take>
void splitIntoReads(std::span<const uint8_t> response, uint32_t seed, Take take) {
    uint32_t state = seed * 2654435761u + 1;
    while (!response.empty()) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        const size_t ceiling = size_t{1} << (state % 13);
        const size_t length =
            std::min({size_t{1} + (state >> 8) % ceiling, kNewsReceiveBuffer, response.size()});
        take(response.first(length));
        response = response.subspan(length);
    }
}

Kept keep(size_t bodyLimit, std::span<const uint8_t> response, uint32_t seed) {
    NewsResponse reader(bodyLimit);
    Kept kept;
    std::string disk;
    splitIntoReads(response, seed, [&](std::span<const uint8_t> read) {
        if (kept.tooLarge) {
            return;
        }
        const NewsResponse::Read taken = reader.take(read, disk);
        // The header bytes to echo are the front of this read.
        FUZZ_CHECK(taken.header.empty() ||
                   (taken.header.data() == read.data() && taken.header.size() <= read.size()));
        if (!taken.header.empty()) {
            std::fwrite(taken.header.data(), 1, taken.header.size(), headerEcho());
        }
        kept.tooLarge = taken.tooLarge;
        FUZZ_CHECK(!taken.tooLarge || disk.empty());
        kept.disk += disk;
    });
    return kept;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input({data, size});
    const uint8_t limitByte = input.byte();
    const size_t bodyLimit = limitByte == 0 ? NewsConfig{}.bodyLimit : size_t{limitByte} * 64;
    const uint32_t seedLow = input.byte();
    const uint32_t seed = seedLow | uint32_t{input.byte()} << 8;
    const std::span<const uint8_t> response = input.rest();

    const Kept kept = keep(bodyLimit, response, seed);
    // The whole response in one read is the reference: the reads' split must not matter.
    NewsResponse whole(bodyLimit);
    std::string reference;
    const bool tooLarge = whole.take(response, reference).tooLarge;
    FUZZ_CHECK(kept.tooLarge == tooLarge);
    if (tooLarge) {
        return 0;
    }
    FUZZ_CHECK(kept.disk == reference);

    // The file gives back the body byte for byte, and the body is the end of the response.
    const std::string body = TextModeDecode(kept.disk);
    FUZZ_CHECK(body.size() <= bodyLimit);
    FUZZ_CHECK(body.size() <= response.size());
    FUZZ_CHECK(std::equal(body.begin(), body.end(), response.end() - static_cast<std::ptrdiff_t>(body.size()),
                          [](char a, uint8_t b) { return static_cast<uint8_t>(a) == b; }));

    const std::optional<int> article = NewsStampFileArticle(kept.disk);
    FUZZ_CHECK(!article || body.find('=') != std::string::npos);
    return 0;
}
