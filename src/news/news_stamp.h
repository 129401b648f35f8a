#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// The news stamp on the wire and on disk: the request, the end of the response
// header, the stamp file's line ends and its KEY=value lines. No I/O here.

inline constexpr std::string_view kNewsHost = "news.pellrig.example";
inline constexpr uint16_t kNewsPort = 80;
inline constexpr std::string_view news_stamp_path = "/news/stamp.asp";
inline constexpr std::string_view kNewsPagePath = "/news";
inline constexpr std::string_view kNewsStampFile = "nstamp.txt";
inline constexpr size_t kNewsReceiveBuffer = 4096;
inline constexpr size_t kNewsStampLine = 255;

// Splits "HOST[:PORT]" into the name and the port (kNewsPort when none). False
// for an empty name or a port that is not 1..65535 in plain digits.
bool NewsSplitHost(std::string_view text, std::string& name, uint16_t& port);

// The stamp request for `host` (the host text as configured), byte for byte as
// web servers have long been sent it: the Host line ends in a lone line feed and
// the Accept value is "*//*".
std::string NewsRequest(std::string_view host);

// "http://HOST[:PORT]/news".
std::string NewsPageUrl(std::string_view host);

// Finds the blank line that ends a response header, across reads. A line feed
// adds one to a counter that lives across reads, a carriage return leaves it and
// any other byte clears it; the header ends where the counter reaches 2, so both
// CR LF CR LF and LF LF end it.
class NewsHeaderEnd {
  public:
    struct Split {
        size_t headerLength;  // header bytes of the chunk before its final line break
        size_t bodyStart;     // the body's first byte in the chunk (may be the chunk's size)
    };

    // Walks a chunk read while the header was still open. Returns where the body
    // starts when the header ends in this chunk, or nothing when it goes on.
    std::optional<Split> feed(std::span<const uint8_t> chunk);
    bool ended() const { return m_lineFeeds == 2; }

  private:
    int m_lineFeeds = 0;
};

// What the news check keeps of the response, one read at a time: the header is
// walked to its blank line, and the body after it becomes the stamp file's
// bytes, counted against the body limit.
class NewsResponse {
  public:
    explicit NewsResponse(size_t bodyLimit) : m_bodyLimit(bodyLimit) {}

    struct Read {
        // The read's header bytes before their final line break when the header
        // ends in this read (what is echoed); otherwise empty.
        std::span<const uint8_t> header;
        // The body has grown past the limit with this read; none of it is kept.
        bool tooLarge = false;
    };

    // Takes one read and replaces `disk` with the stamp file bytes of the body in
    // it, each line feed as CR LF. A read that leaves the header open keeps nothing.
    Read take(std::span<const uint8_t> read, std::string& disk);

  private:
    NewsHeaderEnd m_header;
    size_t m_bodyLimit;
    size_t m_bodyBytes = 0;
};

// Text-mode line ends, done here rather than by a C runtime: appends `bytes` to
// `out` with each 0x0A written as 0x0D 0x0A.
void TextModeEncode(std::span<const uint8_t> bytes, std::string& out);
// Turns each 0x0D 0x0A back into 0x0A; a lone 0x0D stays.
std::string TextModeDecode(std::string_view disk);

// The article number of a decoded stamp file: the last ARTICLENO line's value as
// atoi reads it, or nothing. Lines are read 255 characters at a time (a longer
// one counts as several), the key is what comes before the first "=" and is
// compared without regard to case.
std::optional<int> NewsStampArticle(std::string_view text);

// The article number of the stamp file's bytes as they lie on disk.
std::optional<int> NewsStampFileArticle(std::string_view disk);
