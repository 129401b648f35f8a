#include "accounts/account_messages.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "accounts/account_service.h"
#include "accounts/account_texts.h"

namespace {

using Bytes = std::vector<uint8_t>;

SizeBuffer messageOf(const std::function<void(SizeBuffer&)>& write) {
    SizeBuffer buffer;
    SZ_Init(buffer, 8192);
    write(buffer);
    MSG_BeginReading(buffer);
    return buffer;
}

Bytes bytesOf(const std::function<void(SizeBuffer&)>& write) {
    const SizeBuffer buffer = messageOf(write);
    return {buffer.data.get(), buffer.data.get() + buffer.cursize};
}

// The little-endian bytes of a long, then of each text with its NUL.
Bytes fields(std::initializer_list<int32_t> longs, std::initializer_list<std::string> texts = {}) {
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
    EXPECT_EQ(bytesOf([](SizeBuffer& b) { writeStatCollection(b, true, "10.0.0.5:10666"); }),
              fields({1356}, {"10.0.0.5:10666"}));
    EXPECT_EQ(bytesOf([](SizeBuffer& b) { writeStatCollection(b, false, "10.0.0.5:10666"); }),
              fields({1357}, {"10.0.0.5:10666"}));

    // The bio goes out as its field keeps it: 255 characters at most.
    EXPECT_EQ(bytesOf([](SizeBuffer& b) { writeProfileBioUpdate(b, std::string(300, 'x')); }),
              fields({1346}, {std::string(255, 'x')}));

    PlayerProfile profile;
    copyText(profile.name, "imp");
    copyText(profile.bio, "new bio");
    profile.experience = -2;
    profile.accountLevel = 1;
    profile.rank = 99;  // not part of the update
    EXPECT_EQ(bytesOf([&](SizeBuffer& b) { writeProfileAdminUpdate(b, "root", "pw", profile); }),
              fields({1353}, {"root", "pw", "imp", "new bio"}) + fields({-2}) + Bytes{1});
}

TEST(AccountReplies, AcceptedFormsReadIntoOwnAccount) {
    const OwnAccount account{7, 3, 3500, 2, 2};
    SizeBuffer full = messageOf([&](SizeBuffer& b) { writeAccountAccepted(b, account, false); });
    ASSERT_EQ(MSG_ReadLong(full), kAccountAcceptedCode);
    EXPECT_EQ(readAccountAccepted(full), account);
    EXPECT_EQ(full.readcount, full.cursize);

    // Compact: rank and level are bytes, read without sign extension.
    SizeBuffer compact = messageOf([&](SizeBuffer& b) {
        writeAccountAccepted(b, OwnAccount{200, 255, -1, 4, 1}, true);
    });
    ASSERT_EQ(MSG_ReadLong(compact), kAccountAcceptedCompactCode);
    EXPECT_EQ(readAccountAcceptedCompact(compact), (OwnAccount{200, 255, -1, 4, 1}));
    EXPECT_EQ(compact.readcount, compact.cursize);

    // The ignored leading string may be anything; missing fields read as -1.
    SizeBuffer odd = messageOf([](SizeBuffer& b) {
        MSG_WriteLong(b, kAccountAcceptedCode);
        MSG_WriteString(b, std::string(3000, 's'));
        MSG_WriteLong(b, 5);
    });
    MSG_ReadLong(odd);
    EXPECT_EQ(readAccountAccepted(odd).rank, 0x73737373)
        << "the rest of an over-long string reads as the next field";
    SizeBuffer shortened = messageOf([](SizeBuffer& b) {
        MSG_WriteLong(b, kAccountAcceptedCompactCode);
        MSG_WriteString(b, "");
        MSG_WriteByte(b, 9);
    });
    MSG_ReadLong(shortened);
    EXPECT_EQ(readAccountAcceptedCompact(shortened), (OwnAccount{9, -1, -1, -1, -1}));

    SizeBuffer refused = messageOf([](SizeBuffer& b) { MSG_WriteLong(b, kAccountRefusedCode); });
    MSG_ReadLong(refused);
    EXPECT_EQ(readAccountRefused(refused), -1) << "a refusal without its reason";
}

TEST(AccountReplies, ProfileReadsInWireOrderAndCutsItsTexts) {
    PlayerProfile sent;
    sent.rank = 4;
    sent.highestRank = 1;
    sent.level = 7;
    sent.experience = 7450;
    sent.accountLevel = 2;
    sent.rankPicture = 7;
    sent.avatar = 200;
    SizeBuffer reply = messageOf([&](SizeBuffer& b) {
        writePlayerProfileReply(b, std::string(100, 'n'), std::string(400, 'b'), sent, 7000, 8000);
    });
    ASSERT_EQ(MSG_ReadLong(reply), kPlayerProfileReplyCode);
    const ProfileReply read = readPlayerProfileReply(reply);
    EXPECT_EQ(reply.readcount, reply.cursize);
    EXPECT_EQ(recordText(read.profile.name), std::string(63, 'n'));
    EXPECT_EQ(recordText(read.profile.bio), std::string(255, 'b'));
    PlayerProfile expected = sent;
    copyText(expected.name, std::string(63, 'n'));
    copyText(expected.bio, std::string(255, 'b'));
    EXPECT_EQ(read.profile, expected);
    EXPECT_EQ(read.levelFloor, 7000);
    EXPECT_EQ(read.levelCeiling, 8000);

    SizeBuffer cut = messageOf([](SizeBuffer& b) {
        MSG_WriteLong(b, kPlayerProfileReplyCode);
        MSG_WriteString(b, "Cyb");
    });
    MSG_ReadLong(cut);
    const ProfileReply partial = readPlayerProfileReply(cut);
    EXPECT_EQ(recordText(partial.profile.name), "Cyb");
    EXPECT_EQ(recordText(partial.profile.bio), "");
    EXPECT_EQ(partial.profile.rank, -1);
    EXPECT_EQ(partial.profile.avatar, -1);
    EXPECT_EQ(partial.levelCeiling, -1);
}

TEST(AccountReplies, RecentPlayersKeepOrderAndCutLongNames) {
    const std::vector<std::string> names{"Cyb", std::string(80, 'L'), "", "alice"};
    SizeBuffer reply = messageOf([&](SizeBuffer& b) { writeRecentPlayersReply(b, names); });
    ASSERT_EQ(MSG_ReadLong(reply), kRecentPlayersReplyCode);
    EXPECT_EQ(readRecentPlayersReply(reply),
              (std::vector<std::string>{"Cyb", std::string(63, 'L'), "", "alice"}));

    const struct {
        const char* what;
        std::function<void(SizeBuffer&)> write;
        std::vector<std::string> expected;
    } cases[] = {
        {"count 0", [](SizeBuffer& b) { MSG_WriteShort(b, 0); }, {}},
        {"no count", [](SizeBuffer&) {}, {}},
        {"negative count", [](SizeBuffer& b) { MSG_WriteShort(b, -3); }, {}},
        {"fewer names than announced",
         [](SizeBuffer& b) {
             MSG_WriteShort(b, 3);
             MSG_WriteString(b, "one");
         },
         {"one", "", ""}},
    };
    for (const auto& test : cases) {
        SizeBuffer message = messageOf(test.write);
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
