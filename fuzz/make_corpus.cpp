// Writes the fuzz targets' seed inputs, built with the project's own message
// writers and the settings file's own save, so that the seeds follow the
// layouts as they change. Usage: fuzz_make_corpus <corpus folder>; the files
// go to one folder per target inside it.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "accounts/account_messages.h"
#include "browser/messages.h"
#include "launch/command_line.h"
#include "launch/config_file.h"
#include "launch/settings.h"
#include "net/size_buffer.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

Bytes messageOf(const std::function<void(SizeBuffer&)>& write) {
    SizeBuffer buffer;
    SZ_Init(buffer, 8192);
    write(buffer);
    return {buffer.data.get(), buffer.data.get() + buffer.cursize};
}

Bytes bytesOf(std::string_view text) {
    return {text.begin(), text.end()};
}

// One framed message: a control byte, the length in two bytes, the message.
// For the dispatcher the control is the sender and then the selection byte.
void frame(Bytes& input, std::initializer_list<uint8_t> control, const Bytes& message) {
    input.insert(input.end(), control);
    input.push_back(static_cast<uint8_t>(message.size()));
    input.push_back(static_cast<uint8_t>(message.size() >> 8));
    input.insert(input.end(), message.begin(), message.end());
}

Bytes framed(std::initializer_list<uint8_t> control, const Bytes& message) {
    Bytes input;
    frame(input, control, message);
    return input;
}

class Corpus {
  public:
    explicit Corpus(fs::path root) : m_root(std::move(root)) {}

    void write(const std::string& target, const std::string& name, const Bytes& bytes) const {
        fs::create_directories(m_root / target);
        std::ofstream out(m_root / target / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }

  private:
    fs::path m_root;
};

// Sender bytes of the dispatcher target.
constexpr uint8_t kFirstServer = 0;
constexpr uint8_t kSecondServer = 1;
constexpr uint8_t kThirdServer = 2;
constexpr uint8_t kFirstHostOtherPort = 3;
constexpr uint8_t kMaster = 5;
constexpr uint8_t kSecondRecord = 7;  // a listed record's own address, here the second

const std::vector<MasterListEntry> kListed = {
    {"10.0.0.1:10666", 0, 0}, {"10.0.0.2:10666", 1, 255}, {"192.168.1.5:5029", 0, 7}};

ServerInfo fullServer() {
    ServerInfo info;
    info.name = "Brumvek Duel #1";
    info.num_players = 2;
    info.max_players = 8;
    info.map = "MAP01";
    info.pwads = {"dwango5.wad"};
    info.game_name = "Doom II";
    info.iwad = "doom2.wad";
    info.url = "http://example.org";
    info.email = "admin@example.org";
    info.dmflags = 4;
    info.players = {{"Cyb", 12, 48, 3, 15}, {"lan", 5, 0, 9, 1}};
    return info;
}

// More of everything than a record keeps.
ServerInfo overfullServer() {
    ServerInfo info;
    info.name = std::string(300, 'n');
    info.num_players = 20;
    info.max_players = 32;
    info.map = "E1M1";
    info.pwads = {"a.wad", "", std::string(40, 'p'), "c.wad", "d.wad", "e.wad"};
    info.game_type = 7;
    info.game_name = "DOOM";
    info.iwad = "doom.wad";
    info.dmflags = -1;
    info.dmflags2 = 7;
    for (int i = 0; i < 20; ++i) {
        info.players.push_back({"p" + std::to_string(i), -i, i * 10, 2, 60});
    }
    return info;
}

void dispatcherSeeds(const Corpus& corpus) {
    const Bytes list = messageOf([](SizeBuffer& b) { writeMasterListReply(b, kListed); });
    const Bytes reply = messageOf([](SizeBuffer& b) { writeServerInfoReply(b, fullServer()); });

    Bytes listed;
    frame(listed, {kMaster, 0}, list);
    frame(listed, {kFirstServer, 0}, reply);
    frame(listed, {kSecondServer, 1}, reply);
    frame(listed, {kFirstHostOtherPort, 0}, reply);
    corpus.write("dispatcher_fuzz", "list-then-replies", listed);

    Bytes overfull;
    frame(overfull, {kMaster, 0}, list);
    frame(overfull, {kSecondRecord, 2},
          messageOf([](SizeBuffer& b) { writeServerInfoReply(b, overfullServer()); }));
    corpus.write("dispatcher_fuzz", "reply-past-the-limits", overfull);

    // A list from a stranger, then a second list from the master.
    Bytes twice;
    frame(twice, {kFirstServer, 0}, list);
    frame(twice, {kMaster, 0}, list);
    frame(twice, {kMaster, 0}, messageOf([](SizeBuffer& b) {
              writeMasterListReply(b, {{{"10.0.0.2:10666", 0, 0}, {"10.0.0.2:10666", 1, 0}}});
          }));
    frame(twice, {kSecondServer, 1}, reply);
    corpus.write("dispatcher_fuzz", "lists-in-a-row", twice);

    // As the simulator sends them: a cut reply, a reply under another code,
    // an account code and one nobody knows.
    Bytes odd;
    frame(odd, {kMaster, 0}, list);
    frame(odd, {kFirstServer, 1}, Bytes(reply.begin(), reply.begin() + 40));
    Bytes recoded = reply;
    recoded[0] = 0x42;
    frame(odd, {kThirdServer, 0}, recoded);
    frame(odd, {kMaster, 0},
          messageOf([](SizeBuffer& b) { writeRecentPlayersReply(b, std::vector<std::string>{"x"}); }));
    frame(odd, {kThirdServer, 0}, messageOf([](SizeBuffer& b) { MSG_WriteLong(b, 1353); }));
    corpus.write("dispatcher_fuzz", "cut-and-unknown", odd);
}

// Control bits of the account target: sender in bits 0-1, exchange in 2-4, user in 5.
constexpr uint8_t kFromMaster = 0;
constexpr uint8_t kFromStranger = 1;
constexpr uint8_t kLogIn = 1 << 2;
constexpr uint8_t kCreate = 2 << 2;
constexpr uint8_t kUpdate = 3 << 2;
constexpr uint8_t kAsBob = 1 << 5;

PlayerProfile profileOf(int32_t accountLevel) {
    PlayerProfile profile;
    profile.rank = 9;
    profile.highestRank = 4;
    profile.level = 6;
    profile.experience = 6100;
    profile.accountLevel = accountLevel;
    profile.rankPicture = 3;
    profile.avatar = 12;
    return profile;
}

void accountSeeds(const Corpus& corpus) {
    // The target runs one exchange per input.
    const OwnAccount account{3, 2, 2500, 1, 2};
    Bytes accepted;
    frame(accepted, {kLogIn | kFromMaster},
          messageOf([&](SizeBuffer& b) { writeAccountAccepted(b, account, false); }));
    frame(accepted, {kFromMaster}, messageOf([](SizeBuffer& b) {
              writePlayerProfileReply(b, "ALICE", "my bio", profileOf(0), 6000, 7000);
          }));
    corpus.write("account_reply_fuzz", "log-in-accepted", accepted);
    corpus.write("account_reply_fuzz", "log-in-from-stranger",
                 framed({kLogIn | kFromStranger},
                        messageOf([&](SizeBuffer& b) { writeAccountAccepted(b, account, false); })));
    corpus.write("account_reply_fuzz", "new-account",
                 framed({kCreate | kAsBob},
                        messageOf([&](SizeBuffer& b) { writeAccountAccepted(b, account, true); })));
    corpus.write(
        "account_reply_fuzz", "log-in-refused",
        framed({kLogIn}, messageOf([](SizeBuffer& b) { writeAccountRefused(b, kReasonBadPassword); })));
    Bytes version = framed({kLogIn}, messageOf([](SizeBuffer& b) { writeAccountRefused(b, 77); }));
    frame(version, {kFromMaster}, messageOf([](SizeBuffer& b) { writeVersionRejected(b); }));
    corpus.write("account_reply_fuzz", "version-refused", version);

    Bytes updates = framed({kUpdate}, messageOf([](SizeBuffer& b) { writePlayerNotFound(b, "ghost"); }));
    frame(updates, {kFromMaster}, messageOf([](SizeBuffer& b) { writeProfileUpdated(b); }));
    corpus.write("account_reply_fuzz", "profile-update", updates);
    corpus.write("account_reply_fuzz", "profile-update-unknown-answer",
                 framed({kUpdate}, messageOf([](SizeBuffer& b) { MSG_WriteLong(b, 1345); })));

    Bytes replies =
        framed({kLogIn}, messageOf([&](SizeBuffer& b) { writeAccountAccepted(b, account, true); }));
    const std::vector<std::string> names = {"alice", "Bob", std::string(80, 'z')};
    frame(replies, {kFromMaster}, messageOf([&](SizeBuffer& b) { writeRecentPlayersReply(b, names); }));
    frame(replies, {kFromStranger},
          messageOf([](SizeBuffer& b) { writePlayerProfileReply(b, "alice", "fake", profileOf(2), 0, 1); }));
    frame(replies, {kFromMaster}, messageOf([](SizeBuffer& b) {
              writePlayerProfileReply(b, std::string(70, 'n'), std::string(300, 'b'), profileOf(1), 0, 100);
          }));
    frame(replies, {kFromMaster},
          messageOf([](SizeBuffer& b) { writePlayerNotFound(b, std::string(200, 'g')); }));
    frame(replies, {kFromMaster}, messageOf([](SizeBuffer& b) { writeAccountDeleted(b, "Bob"); }));
    frame(replies, {kFromMaster}, messageOf([](SizeBuffer& b) { writeProfileUpdated(b); }));
    corpus.write("account_reply_fuzz", "receive-thread-replies", replies);
}

// Body limit byte (0: the default), split seed, response.
Bytes newsInput(uint8_t limit, uint16_t seed, std::string_view response) {
    Bytes input{limit, static_cast<uint8_t>(seed), static_cast<uint8_t>(seed >> 8)};
    input.insert(input.end(), response.begin(), response.end());
    return input;
}

void newsSeeds(const Corpus& corpus) {
    const std::string body = "ARTICLENO=5\r\nDATESTAMP=2024-05-01\r\nSUBJECT=Hello\r\n";
    // The simulator's news server answers like this.
    const std::string served =
        "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
        "\r\nConnection: close\r\n\r\n" + body;
    corpus.write("news_response_fuzz", "stamp", newsInput(0, 1, served));
    corpus.write("news_response_fuzz", "line-feeds-only",
                 newsInput(0, 7,
                           "HTTP/1.0 200 OK\nServer: x\n\narticleno=9\nARTICLENO 10\nSUBJECT=" +
                               std::string(300, 'y') + "\n"));
    corpus.write("news_response_fuzz", "not-found",
                 newsInput(0, 300, "HTTP/1.0 404 Not Found\r\n\r\n<html>Not here</html>\n"));
    corpus.write("news_response_fuzz", "header-never-ends",
                 newsInput(0, 2, "HTTP/1.0 200 OK\r\nARTICLENO=7\r\n\rARTICLENO=8\r\n"));
    corpus.write("news_response_fuzz", "past-the-limit",
                 newsInput(1, 5, "HTTP/1.0 200 OK\r\n\r\n" + std::string(100, 'x') + "\nARTICLENO=6\n"));
}

void settingsSeeds(const Corpus& corpus) {
    const auto save = [&](const std::string& name) {
        if (const std::optional<Bytes> disk = configFileBytes()) {
            corpus.write("settings_fuzz", name, *disk);
        }
    };
    resetSettings();
    bv_firstrun = 0;
    AddWadDirectory("C:\\DOOM\\", 0);
    save("example");

    resetSettings();
    bv_rememberpassword = 1;
    bv_username = "player";
    bv_password = "secret";
    bv_extraparams = "-warp\n\r1 \x1A";
    bv_serverpassword = "letmein";
    bv_lastarticleno = 300;
    AddWadDirectory("/wads/a/", 65535);
    AddWadDirectory("/wads/b/", 10);
    AddWadDirectory("/home/me/My Games/doom/", 0);
    save("remembered-with-directories");

    // Every text as long as its setting may be.
    resetSettings();
    bv_rememberpassword = 1;
    bv_username = std::string(kMaxUserName, 'u');
    bv_password = std::string(kMaxPassword, 'p');
    bv_extraparams = std::string(kMaxExtraParams, 'x');
    bv_serverpassword = std::string(kMaxServerPassword, 's');
    AddWadDirectory("/" + std::string(kMaxWadPath - 2, 'd') + "/", 0);
    save("longest-texts");

    // A text longer than a read takes, as no save writes it.
    Bytes overlong{0x68, 0x00};
    overlong.insert(overlong.end(), 2100, 'x');
    overlong.insert(overlong.end(), {0x00, 'p', 0x00, 0x01, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00});
    corpus.write("settings_fuzz", "text-past-a-read", overlong);

    const Bytes cut{0x68, 0x01, 'p', 'l'};
    corpus.write("settings_fuzz", "cut-short", cut);
    corpus.write("settings_fuzz", "other-version", {0x67, 0x01, 'a', 0x00});
}

void mountSeeds(const Corpus& corpus) {
    const std::string table =
        "/dev/sda1 / ext4 rw,relatime 0 0\n"
        "proc /proc proc rw 0 0\n"
        "server:/export /mnt/nfs nfs4 rw 0 0\n"
        "/dev/sdb1 /media/me/USB\\040STICK vfat rw 0 0\n"
        "me@host:/srv /home/me/remote fuse.sshfs rw 0 0\n"
        "/dev/sda2 /mnt/a\\134b\\011c btrfs rw 0 0\n";
    Bytes input = bytesOf(table);
    input.push_back(0);
    const std::string path = "/mnt/nfs/doom/";
    input.insert(input.end(), path.begin(), path.end());
    corpus.write("mount_table_fuzz", "table-and-path", input);
    corpus.write("mount_table_fuzz", "table", bytesOf(table));
}

// A flags byte, then the fields separated by NUL bytes.
Bytes fieldsInput(uint8_t flags, const std::vector<std::string>& fields) {
    Bytes input{flags};
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i > 0) {
            input.push_back(0);
        }
        input.insert(input.end(), fields[i].begin(), fields[i].end());
    }
    return input;
}

void commandLineSeeds(const Corpus& corpus) {
    // Executable, address, IWAD, extra parameters, user, password, PWADs.
    corpus.write("command_line_fuzz", "with-pwads",
                 fieldsInput(0x07, {"brumvekgl.exe", "10.0.0.5:10666", "C:\\DOOM\\doom2.wad", "", "player",
                                    "", "C:\\DOOM\\PWADS\\DWANGO5.WAD"}));
    corpus.write("command_line_fuzz", "quotes-and-blanks",
                 fieldsInput(0xF6, {"brumvek.exe", "192.168.1.5:5029", "/home/me/My Games/doom2.wad",
                                    "-warp 01 \"a b\"", "Big Al", "pw", "a\\\"b\\\\", "", "x y\\"}));
    const GameArguments game{"brumvekgl.exe",
                             "10.0.0.5:10666",
                             "C:\\My Games\\doom2.wad",
                             true,
                             {"C:\\PWADS\\A B.WAD", ""},
                             3,
                             "-nomonsters",
                             "player",
                             "secret"};
    corpus.write("command_line_fuzz", "built-line", bytesOf(buildCommandLine(game)));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const Corpus corpus{fs::path(argv[1])};
    dispatcherSeeds(corpus);
    accountSeeds(corpus);
    newsSeeds(corpus);
    settingsSeeds(corpus);
    mountSeeds(corpus);
    commandLineSeeds(corpus);
    return 0;
}
