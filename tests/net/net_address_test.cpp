#include "net/net_address.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

NetAddress parsed(const std::string& text) {
    NetAddress address;
    EXPECT_TRUE(NET_StringToAdr(text, address)) << text;
    return address;
}

TEST(AddressText, DottedAddressesAndPorts) {
    EXPECT_EQ(NET_AdrToString(parsed("10.0.0.1:10666")), "10.0.0.1:10666");
    EXPECT_EQ(NET_AdrToString(parsed("10.0.0.1")), "10.0.0.1:0");
    EXPECT_EQ(NET_AdrToString(parsed("10.0.0.1:")), "10.0.0.1:0");
    EXPECT_EQ(NET_AdrToString(parsed("10.0.0.1:1:2")), "10.0.0.1:2");
    EXPECT_EQ(NET_AdrToString(parsed("192.168.0.5:70000")), "192.168.0.5:4464");
    EXPECT_EQ(NET_AdrToString(parsed("255.255.255.255:1")), "255.255.255.255:1");

    const NetAddress a = parsed("127.0.0.1:15100");
    EXPECT_EQ(a.ip, (std::array<uint8_t, 4>{127, 0, 0, 1}));
    EXPECT_EQ(NET_Port(a), 15100);
    EXPECT_EQ(reinterpret_cast<const uint8_t*>(&a.port)[0], 15100 >> 8);
}

TEST(AddressText, HostNamesResolve) {
    EXPECT_EQ(NET_AdrToString(parsed("localhost:99")), "127.0.0.1:99");
}

TEST(AddressText, FailuresLeaveTheAddressUntouched) {
    NetAddress address = parsed("1.2.3.4:5");
    const NetAddress before = address;
    // Texts that only look numeric are names, and these resolve nowhere.
    for (const std::string& text :
         std::vector<std::string>{"1abc", "10.0.0.300", "1.2.3.4.5", "no-such-host.invalid:1", "", ":15100",
                                  std::string(128, 'a')}) {
        EXPECT_FALSE(NET_StringToAdr(text, address)) << text;
        EXPECT_EQ(address, before);
    }
}

TEST(AddressText, OverlongTextIsRejectedNotCut) {
    NetAddress address;
    const std::string padded = "127.0.0.1:" + std::string(120, '0') + "80";
    ASSERT_GT(padded.size(), kMaxAddressText);
    EXPECT_FALSE(NET_StringToAdr(padded, address));
    const std::string fits = "127.0.0.1:" + std::string(kMaxAddressText - 12, '0') + "80";
    ASSERT_EQ(fits.size(), kMaxAddressText);
    EXPECT_TRUE(NET_StringToAdr(fits, address));
    EXPECT_EQ(NET_Port(address), 80);
}

TEST(AddressText, DottedParserIsStrict) {
    std::array<uint8_t, 4> ip{};
    EXPECT_TRUE(NET_ParseDotted("0.0.0.0", ip));
    EXPECT_TRUE(NET_ParseDotted("1.22.255.3", ip));
    EXPECT_EQ(ip, (std::array<uint8_t, 4>{1, 22, 255, 3}));
    for (const char* text :
         {"", "1", "1.2.3.", ".1.2.3", "1..2.3", "1.2.3.4 ", "1.2.3.256", "1.2.3.0004", "a.b.c.d"}) {
        EXPECT_FALSE(NET_ParseDotted(text, ip)) << text;
    }
}

}  // namespace
