#include "accounts/account_messages.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "accounts/account_service.h"
#include "accounts/account_texts.h"
#include "loopback_peer.h"

namespace {

// The little-endian bytes of a long, then of each text with its NUL.
Bytes fields(std::initializer_list<int32_t> longs, const std::vector<std::string>& texts = {}) {
    Bytes out;
    for (int32_t value : longs) {
        for (int shift = 0; shift < 32; shift += 8) {
            out.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> shift));
        }
    }
    for (const std::string& text : texts) {
        out.insert(out.end(), text.begin(), text.end());
        out.push_back(0);
    }
    return out;
}

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(AccountRequests, LayoutsFieldByField) {
    EXPECT_EQ(
        bytesOf([](SizeBuffer& b) { writeAccountLoginRequest(b, LoginRequestKind::LogIn, "ab", "cd"); }),
        (Bytes{0x39, 0x05, 0x00, 0x00, 0x68, 0x00, 0x00, 0x00, 'a', 'b', 0, 'c', 'd', 0}));
    EXPECT_EQ(bytesOf([](SizeBuffer& b) { writeRecentPlayersRequest(b); }), (Bytes{0x44, 0x05, 0x00, 0x00}));
    EXPECT_EQ(bytesOf([](SizeBuffer& b) {
                  writeAccountLoginRequest(b, LoginRequestKind::CreateAccount, "", "pw");
              }),
              fields({1338, 104}, {"", "pw"}));
    EXPECT_EQ(bytesOf([](SizeBuffer& b) { writePlayerLookupRequest(b, "Cyb"); }), fields({1350}, {"Cyb"}));
    EXPECT_EQ(bytesOf([](SizeBuffer& b) { writeAccountDeleteRequest(b, "root", "pw", "imp"); }),
              fields({1354}, {"root", "pw", "imp"}));
    for (const bool enable : {true, false}) {
        EXPECT_EQ(bytesOf([&](SizeBuffer& b) { writeStatCollection(b, enable, "10.0.0.5:10666"); }),
                  fields({enable ? 1356 : 1357}, {"10.0.0.5:10666"}));
    }

    // The bio goes out as its field keeps it: 255 characters at most.
    EXPECT_EQ(bytesOf([](SizeBuffer& b) { writeProfileBioUpdate(b, std::string(300, 'x')); }),
              fields({1346}, {std::string(255, 'x')}));

    PlayerProfile profile{.rank = 99, .experience = -2, .accountLevel = 1};  // the rank is not sent
    copyText(profile.name, "imp");
    copyText(profile.bio, "new bio");
    EXPECT_EQ(bytesOf([&](SizeBuffer& b) { writeProfileAdminUpdate(b, "root", "pw", profile); }),
              fields({1353}, {"root", "pw", "imp", "new bio"}) + fields({-2}) + Bytes{1});
}

// A reply as it comes off the wire, positioned after its code, which must be `code`.
SizeBuffer reply(const Bytes& bytes, int32_t code) {
    SizeBuffer message = messageOf(bytes);
    EXPECT_EQ(MSG_ReadLong(message), code);
    return message;
}

// Each reply written out byte for byte: the master's writers (which the
// simulator uses) give exactly these bytes, and the readers take every field.
TEST(AccountReplies, LayoutsFieldByField) {
    const OwnAccount account{7, 3, 3500, 2, 2};
    const Bytes full = Bytes{0x3F, 0x05, 0, 0, 0} + fields({7, 3, 3500, 2}) + Bytes{2};
    EXPECT_EQ(bytesOf([&](SizeBuffer& b) { writeAccountAccepted(b, account, false); }), full);
    SizeBuffer message = reply(full, kAccountAcceptedCode);
    EXPECT_EQ(readAccountAccepted(message, false), account);
    EXPECT_EQ(message.readcount, message.cursize);

    // Compact: rank and level are bytes, read without sign extension.
    const Bytes compact = fields({1344}, {""}) + Bytes{200, 255} + fields({-1, 4}) + Bytes{1};
    EXPECT_EQ(bytesOf([](SizeBuffer& b) {
                  writeAccountAccepted(b, OwnAccount{200, 255, -1, 4, 1}, true);
              }),
              compact);
    message = reply(compact, kAccountAcceptedCompactCode);
    EXPECT_EQ(readAccountAccepted(message, true), (OwnAccount{200, 255, -1, 4, 1}));
    EXPECT_EQ(message.readcount, message.cursize);

    const Bytes refused{0x3B, 0x05, 0, 0, 0x3E, 0x05, 0, 0};
    EXPECT_EQ(bytesOf([](SizeBuffer& b) { writeAccountRefused(b, kReasonBadPassword); }), refused);
    message = reply(refused, kAccountRefusedCode);
    EXPECT_EQ(readAccountRefused(message), 1342);
    EXPECT_EQ(bytesOf([](SizeBuffer& b) { writeVersionRejected(b); }), fields({1359}));
    EXPECT_EQ(bytesOf([](SizeBuffer& b) { writeProfileUpdated(b); }), fields({1347}));

    // A profile: texts cut to their fields, then the numbers in wire order.
    const Bytes profile = fields({1351}, {std::string(100, 'n'), std::string(400, 'b')}) +
                          fields({4, 1, 7, 7450}) + Bytes{2} + fields({7000, 8000}) + Bytes{7, 200};
    const PlayerProfile sent{.rank = 4,
                             .highestRank = 1,
                             .level = 7,
                             .experience = 7450,
                             .accountLevel = 2,
                             .rankPicture = 7,
                             .avatar = 200};
    EXPECT_EQ(bytesOf([&](SizeBuffer& b) {
                  writePlayerProfileReply(b, std::string(100, 'n'), std::string(400, 'b'), sent, 7000, 8000);
              }),
              profile);
    message = reply(profile, kPlayerProfileReplyCode);
    const ProfileReply read = readPlayerProfileReply(message);
    EXPECT_EQ(message.readcount, message.cursize);
    PlayerProfile expected = sent;
    copyText(expected.name, std::string(63, 'n'));
    copyText(expected.bio, std::string(255, 'b'));
    EXPECT_EQ(read.profile, expected);
    EXPECT_EQ(read.levelFloor, 7000);
    EXPECT_EQ(read.levelCeiling, 8000);

    // Recent players: a count short, then the names, each cut to a profile name.
    const std::vector<std::string> names{"Cyb", std::string(80, 'L'), "", "alice"};
    const Bytes recent = fields({1349}) + Bytes{4, 0} + fields({}, names);
    EXPECT_EQ(bytesOf([&](SizeBuffer& b) { writeRecentPlayersReply(b, names); }), recent);
    message = reply(recent, kRecentPlayersReplyCode);
    EXPECT_EQ(readRecentPlayersReply(message),
              (std::vector<std::string>{"Cyb", std::string(63, 'L'), "", "alice"}));

    for (const auto& [code, write] : std::vector<std::pair<int32_t, void (*)(SizeBuffer&, std::string_view)>>{
             {kPlayerNotFoundCode, writePlayerNotFound}, {kAccountDeletedCode, writeAccountDeleted}}) {
        const Bytes named = fields({code}, {"imp"});
        EXPECT_EQ(bytesOf([&](SizeBuffer& b) { write(b, "imp"); }), named);
        message = reply(named, code);
        EXPECT_EQ(readReplyName(message), "imp");
    }
}

// Short replies: a missing byte field reads as -1, not 255, and a list stops at
// the end of the message.
TEST(AccountReplies, ShortRepliesKeepWhatWasRead) {
    SizeBuffer message = reply(fields({1344}, {""}) + Bytes{9}, kAccountAcceptedCompactCode);
    EXPECT_EQ(readAccountAccepted(message, true), (OwnAccount{9, -1, -1, -1, -1}));

    const struct {
        const char* what;
        Bytes after;
        std::vector<std::string> expected;
    } cases[] = {
        {"count 0", {0, 0}, {}},
        {"no count", {}, {}},
        {"negative count", {0xFD, 0xFF}, {}},
        {"fewer names than announced", Bytes{3, 0, 'o', 'n', 'e', 0}, {"one", "", ""}},
    };
    for (const auto& test : cases) {
        message = reply(fields({1349}) + test.after, kRecentPlayersReplyCode);
        EXPECT_EQ(readRecentPlayersReply(message), test.expected) << test.what;
    }
}

TEST(AccountRecords, NamesAndLogInChecks) {
    EXPECT_EQ(accountLevelText(3), "") << "no level past Garou";
    EXPECT_FALSE(sameAccountName("alice", "alice2"));
    EXPECT_FALSE(sameAccountName("\xE9", "\xC9")) << "only the ASCII letters have a case";

    const std::string sixteen(16, 'u');
    const struct {
        std::string user;
        std::string password;
        const char* error;
    } cases[] = {
        {"", "", kNoUserName},
        {"u", "", kNoPassword},
        {sixteen + "u", "", kNoPassword},
        {sixteen + "u", "p", kUserNameTooLong},
        {"u", sixteen + "p", kPasswordTooLong},
        {sixteen, sixteen, nullptr},
    };
    for (const auto& test : cases) {
        EXPECT_STREQ(loginFieldsError(test.user, test.password), test.error)
            << test.user << " / " << test.password;
    }
}

}  // namespace
