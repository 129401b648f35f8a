#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "launch/settings.h"
#include "launch/wad_directory_editor.h"
#include "launch_test_support.h"

namespace launch_test {
namespace {

using namespace std::chrono_literals;
using LaunchWadScanThread = SettingsTest;

// The shell may run the scan on a worker and cancel it from its UI thread.
TEST_F(LaunchWadScanThread, ScanOnAWorkerStopsWhenTheUiThreadCancels) {
    TempDir drive;
    for (int i = 0; i < 20; ++i) {
        writeText(drive.file("d" + std::to_string(i) + "/x.wad"), "x");
    }
    MemoryWadDirectoryView view;
    MemoryModalMessageView messages;
    WadDirectoryEditor editor(view, messages, {});

    std::mutex mutex;
    std::condition_variable changed;
    bool started = false;
    bool cancelled = false;
    editor.setProgressHandler([&] {
        std::unique_lock lock(mutex);
        started = true;
        changed.notify_all();
        changed.wait_for(lock, 10s, [&] { return cancelled; });
    });

    std::thread worker([&] { editor.scan({drive.folder()}); });
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, 10s, [&] { return started; }));
    }
    editor.cancelScan();
    {
        const std::scoped_lock lock(mutex);
        cancelled = true;
    }
    changed.notify_all();
    worker.join();

    EXPECT_FALSE(editor.searching());
    EXPECT_FALSE(view.searching());
    EXPECT_LE(view.rowCount(), 1);
    EXPECT_EQ(messages.messages(), (std::vector<UserMessage>{{kScanCanceled, "", MessageIcon::None}}));
    const auto lock = lockSettings();
    EXPECT_EQ(std::distance(wad_directories.begin(), wad_directories.end()), view.rowCount());
}

}  // namespace
}  // namespace launch_test
