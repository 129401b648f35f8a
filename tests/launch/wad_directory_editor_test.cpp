#include "launch/wad_directory_editor.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <future>
#include <set>
#include <thread>
#include <utility>

#include "launch/config_file.h"
#include "launch/drives.h"
#include "launch/mount_table.h"
#include "launch/settings.h"
#include "launch_test_support.h"

namespace launch_test {
namespace {

using namespace std::chrono_literals;

class LaunchWadDirectories : public SettingsTest {
  protected:
    MemoryWadDirectoryView view;
    MemoryModalMessageView messages;
    TempDir config;
    std::vector<bool> savedAtRequest;  // each server list request: was the file there yet?
    WadDirectoryEditor editor{
        view, messages, [this] { savedAtRequest.push_back(fs::exists(config.path() / kConfigFileName)); },
        config.path()};
};

TEST_F(LaunchWadDirectories, ScanFindsEachFolderOnceDeepestFirst) {
    TempDir drive;
    placeWad(drive.path() / "DOOM" / "doom2.wad");
    placeWad(drive.path() / "DOOM" / "PWADS" / "a.wad", "freedoom1.wad");
    placeWad(drive.path() / "DOOM" / "PWADS" / "b.wad", "freedoom1.wad");
    // Not a regular file, though its name matches the mask.
    fs::create_directories(drive.path() / "other" / "maps.wad");
    editor.add(drive.folder("by hand"));

    editor.scan({drive.file("DOOM")});
    const std::vector<std::string> found{drive.folder("DOOM"), drive.folder("DOOM/PWADS")};
    EXPECT_EQ(view.rows(), found);
    EXPECT_EQ(directoryPaths(), found);
    EXPECT_EQ(view.status(), "2 potential WAD directories found");

    editor.scan({drive.folder()});
    EXPECT_EQ(view.rows(), found);
    EXPECT_TRUE(messages.messages().empty());
}

// The shell runs the scan on a worker and cancels it from its UI thread, here
// as soon as the first folder is in the list; a second click while the scan
// unwinds changes nothing, and nothing more is examined.
TEST_F(LaunchWadDirectories, CancelFromTheUiThreadKeepsWhatWasFoundAndSkipsTheRemainingRoots) {
    TempDir first;
    TempDir second;
    for (const std::string folder : {"a/", "a/b/", "a/b/c/"}) {
        placeWad(first.path() / folder / "x.wad");
    }
    placeWad(second.path() / "y.wad");
    std::promise<void> found;
    std::promise<void> cancelled;
    std::vector<std::string> statuses;  // the worker's alone until it is joined
    bool waited = false;
    editor.setProgressHandler([&, cancel = cancelled.get_future().share()] {
        statuses.push_back(view.status());
        if (view.rowCount() == 1 && !std::exchange(waited, true)) {
            found.set_value();
            cancel.wait_for(20s);
        }
    });

    std::thread worker([&] { editor.scan({first.folder(), second.folder()}); });
    EXPECT_EQ(found.get_future().wait_for(20s), std::future_status::ready);
    EXPECT_TRUE(view.searching());
    editor.cancelScan();
    editor.cancelScan();
    cancelled.set_value();
    worker.join();

    EXPECT_EQ(view.rows(), std::vector<std::string>{first.folder("a/b/c")});
    EXPECT_EQ(directoryPaths(), view.rows());
    EXPECT_EQ(messages.messages(), (std::vector<UserMessage>{{kScanCanceled, "", MessageIcon::None}}));
    EXPECT_FALSE(view.searching());
    EXPECT_FALSE(editor.searching());
    EXPECT_EQ(std::count(statuses.begin(), statuses.end(), second.folder()), 0);

    // The next scan starts afresh.
    editor.scan({second.folder()});
    EXPECT_EQ(view.rows(), std::vector<std::string>{second.folder()});
}

TEST_F(LaunchWadDirectories, AddRefusesSharesAndRemoveTakesEveryCopy) {
    EXPECT_FALSE(editor.add("\\\\server\\doom"));
    EXPECT_FALSE(editor.add("/" + std::string(255, 'd')));
    EXPECT_FALSE(editor.add(""));
    EXPECT_EQ(messages.messages(),
              (std::vector<UserMessage>{{kNetworkDriveRefused, kNetworkDriveCaption, MessageIcon::None},
                                        {kDirectoryTooLong, kNetworkDriveCaption, MessageIcon::None}}));

    TempDir dir;
    EXPECT_TRUE(editor.add(dir.file("doom")));
    EXPECT_TRUE(editor.add(dir.folder("other")));
    EXPECT_TRUE(editor.add(dir.file("doom")));
    EXPECT_EQ(directoryPaths(),
              (std::vector<std::string>{dir.folder("doom"), dir.folder("other"), dir.folder("doom")}));

    view.select(0);
    editor.removeSelected();
    EXPECT_EQ(directoryPaths(), std::vector<std::string>{dir.folder("other")});
    EXPECT_EQ(view.rows(), (std::vector<std::string>{dir.folder("other"), dir.folder("doom")}));
    editor.removeSelected();
    EXPECT_EQ(view.rowCount(), 2);
}

TEST_F(LaunchWadDirectories, DoneAsksForTheServerListOnlyOnTheFirstRunThenSaves) {
    AddWadDirectory("/wads/", 0);
    editor.done();
    EXPECT_EQ(savedAtRequest, std::vector<bool>{false});
    EXPECT_TRUE(fs::exists(config.path() / kConfigFileName));

    bv_firstrun = 0;
    ClearWadDirectories();
    editor.done();
    EXPECT_EQ(savedAtRequest.size(), 1u);
    BV_LoadConfig(config.path());
    EXPECT_TRUE(wad_directories.empty());
    EXPECT_TRUE(messages.messages().empty());
}

TEST(LaunchMountTable, ClassifiesFileSystemsAndFindsTheHoldingMountAndTheFixedDrives) {
    const std::vector<MountEntry> table = parseMountTable(
        "/dev/sda2 / ext4 rw,relatime 0 0\n"
        "proc /proc proc rw 0 0\n"
        "server:/export /mnt/nfs nfs4 rw 0 0\n"
        "/dev/sdb1 /media/My\\040Games vfat rw 0 0\n"
        "user@host:/ /home/me/remote fuse.sshfs rw 0 0\n"
        "short line\n");
    ASSERT_EQ(table.size(), 5u);
    EXPECT_EQ(table[3].mountPoint, "/media/My Games");

    EXPECT_EQ(mountHolding(table, "/mnt/nfs/doom/")->type, "nfs4");
    EXPECT_EQ(mountHolding(table, "/mnt/nfs")->type, "nfs4");
    EXPECT_EQ(mountHolding(table, "/mnt/nfsx/doom")->type, "ext4");
    EXPECT_EQ(mountHolding(table, "relative"), nullptr);

    // Each type is a local disk (L), a network file system (N) or neither (-);
    // a FUSE type is told by its subtype.
    std::string kinds;
    for (const char* type : {"ext4", "fuseblk", "nfs4", "sshfs", "fuse.sshfs", "fuse", "fuse.ext4", "tmpfs",
                             "iso9660", "proc"}) {
        kinds +=
            isNetworkType(type) ? (isLocalDiskType(type) ? '?' : 'N') : (isLocalDiskType(type) ? 'L' : '-');
    }
    EXPECT_EQ(kinds, "LLNNN-----");

    // The fixed drives are local folders, each file system once.
    std::set<dev_t> devices;
    for (const std::string& root : fixedDriveRoots()) {
        SCOPED_TRACE(root);
        EXPECT_EQ(root.back(), '/');
        struct stat status {};
        ASSERT_EQ(::stat(root.c_str(), &status), 0);
        EXPECT_TRUE(S_ISDIR(status.st_mode));
        EXPECT_TRUE(devices.insert(status.st_dev).second);
        EXPECT_FALSE(isNetworkFolder(root));
    }
}

}  // namespace
}  // namespace launch_test
