#include "launch/wad_file_check.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "launch_test_support.h"

namespace launch_test {
namespace {

TEST(LaunchWadFileCheck, OnlyPlainShortWadNamesAreFetched) {
    for (const char* name :
         {"gothic.wad", "DWANGO5.WAD", "a.Wad", "x2-y_z (1).wad", "abcdefghijklmnopqrstuvwxyz1.wad"}) {
        EXPECT_TRUE(isFetchableWadName(name)) << name;
    }
    for (const char* name :
         {"", ".wad", "gothic", "gothic.wad.exe", "gothic.pk3", "../gothic.wad", "a/b.wad", "a\\b.wad",
          "C:gothic.wad", "..wad", "x..y.wad", "tab\t.wad", "abcdefghijklmnopqrstuvwxyz12.wad"}) {
        EXPECT_FALSE(isFetchableWadName(name)) << name;
    }
}

// Freedoom's first episode as a PWAD would be, then bent out of shape.
TEST(LaunchWadFileCheck, APwadMustHoldItsDirectoryAndLumps) {
    const fs::path freedoom = "/usr/share/games/doom/freedoom1.wad";
    ASSERT_TRUE(fs::exists(freedoom)) << "install the Debian package freedoom";
    std::ifstream in(freedoom, std::ios::binary);
    const std::string wad{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto patched = [&wad](size_t at, const std::string& bytes) {
        std::string copy = wad;
        copy.replace(at, bytes.size(), bytes);
        copy.replace(0, 4, "PWAD");
        return copy;
    };
    const std::string directory = wad.substr(8, 4);
    const size_t firstEntry =
        static_cast<unsigned char>(directory[0]) | static_cast<unsigned char>(directory[1]) << 8 |
        static_cast<unsigned char>(directory[2]) << 16 | static_cast<unsigned char>(directory[3]) << 24;
    const struct {
        std::string bytes;
        WadFileCheck check;
    } cases[] = {
        {wad, WadFileCheck::Iwad},
        {patched(0, "PWAD"), WadFileCheck::Pwad},
        {patched(0, "PWAD").substr(0, wad.size() / 2), WadFileCheck::OutsideTheFile},
        {patched(4, std::string("\xFF\xFF\xFF\x7F", 4)), WadFileCheck::OutsideTheFile},
        {patched(4, std::string("\x00\x00\x00\x80", 4)), WadFileCheck::OutsideTheFile},
        {patched(8, std::string("\xF0\xFF\xFF\x7F", 4)), WadFileCheck::OutsideTheFile},
        {patched(firstEntry + 4, std::string("\x00\x00\x00\x7F", 4)), WadFileCheck::OutsideTheFile},
        {"JUNK" + wad.substr(4), WadFileCheck::NotAWad},
        {"PWAD\x01", WadFileCheck::NotAWad},
        {"<html>Not found</html>", WadFileCheck::NotAWad},
    };
    TempDir dir;
    for (const auto& test : cases) {
        SCOPED_TRACE(testing::PrintToString(test.bytes.substr(0, 12)));
        EXPECT_EQ(checkWadFile(dir.write("fetched.wad", test.bytes)), test.check);
    }
    EXPECT_EQ(checkWadFile(dir.path() / "gone.wad"), WadFileCheck::Unreadable);
}

}  // namespace
}  // namespace launch_test
