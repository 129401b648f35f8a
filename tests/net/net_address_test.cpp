#include "net/net_address.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Only dotted addresses and texts that fail before any name look-up: no test
// here asks a resolver.

NetAddress parsed(const std::string& text) {
    NetAddress address;
    EXPECT_TRUE(NET_StringToAdr(text, address)) << text;
    return address;
}

TEST(AddressText, DottedAddressesAndPortsOrFailuresThatLeaveTheAddress) {
    for (const auto& [text, shown] : std::vector<std::pair<std::string, std::string>>{
             {"10.0.0.1:10666", "10.0.0.1:10666"},
             {"10.0.0.1", "10.0.0.1:0"},
             {"10.0.0.1:", "10.0.0.1:0"},
             {"10.0.0.1:1:2", "10.0.0.1:2"},
             {"192.168.0.5:70000", "192.168.0.5:4464"},
             {"255.255.255.255:1", "255.255.255.255:1"},
             {"127.000.000.001:5", "127.0.0.1:5"},
             {"127.0.0.1:" + std::string(kMaxAddressText - 12, '0') + "80", "127.0.0.1:80"},
         }) {
        EXPECT_EQ(NET_AdrToString(parsed(text)), shown);
    }
    const NetAddress a = parsed("127.0.0.1:15100");
    EXPECT_EQ(a.ip, (std::array<uint8_t, 4>{127, 0, 0, 1}));
    EXPECT_EQ(NET_Port(a), 15100);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(&a.port)[0], 15100 >> 8);

    // No host, and texts one byte too long, even a dotted one: rejected, not cut,
    // and the address is left as it was.
    NetAddress address = a;
    for (const std::string& text :
         {std::string(), std::string(":15100"), std::string(kMaxAddressText + 1, 'a'),
          "127.0.0.1:" + std::string(kMaxAddressText - 11, '0') + "80"}) {
        EXPECT_FALSE(NET_StringToAdr(text, address)) << text;
        EXPECT_EQ(address, a);
    }
}

TEST(AddressText, DottedParserIsStrict) {
    std::array<uint8_t, 4> ip{};
    EXPECT_TRUE(NET_ParseDotted("0.0.0.0", ip));
    EXPECT_TRUE(NET_ParseDotted("1.22.255.3", ip));
    EXPECT_EQ(ip, (std::array<uint8_t, 4>{1, 22, 255, 3}));
    for (const char* text : {"", "1", "1.2.3.", ".1.2.3", "1..2.3", "1.2.3.4 ", "1.2.3.256", "1.2.3.0004",
                             "a.b.c.d", "1abc", "1.2.3.4.5"}) {
        EXPECT_FALSE(NET_ParseDotted(text, ip)) << text;
    }
}

}  // namespace
