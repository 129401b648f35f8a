// The automatic WAD scan against find(1) on the same generated tree, and the
// scan's peak memory on a deep tree against a shallow one of the same size.
//
//   wad_scan_bench [ROOT-PARENT]    builds its trees under ROOT-PARENT (default: the
//                                   temporary directory) and removes them at the end
#include <fcntl.h>
#include <malloc.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "launch/settings.h"
#include "launch/wad_directory_editor.h"

namespace {

// Live heap bytes and their peak, counted by the replaced operator new below.
std::atomic<size_t> liveBytes{0};
std::atomic<size_t> peakBytes{0};

void countAllocation(void* block) {
    if (block == nullptr) {
        return;
    }
    const size_t live =
        liveBytes.fetch_add(malloc_usable_size(block), std::memory_order_relaxed) + malloc_usable_size(block);
    size_t peak = peakBytes.load(std::memory_order_relaxed);
    while (live > peak && !peakBytes.compare_exchange_weak(peak, live, std::memory_order_relaxed)) {
    }
}

}  // namespace

void* operator new(size_t size) {
    void* block = std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    countAllocation(block);
    return block;
}

void operator delete(void* block) noexcept {
    if (block != nullptr) {
        liveBytes.fetch_sub(malloc_usable_size(block), std::memory_order_relaxed);
        std::free(block);
    }
}

void operator delete(void* block, size_t) noexcept {
    operator delete(block);
}

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kTopFolders = 100;
constexpr int kSubfoldersEach = 99;  // 100 + 100 * 99 = 10,000 folders
constexpr int kFilesPerFolder = 10;  // 100,000 files, one .wad in each folder
constexpr int kDepth = 1000;         // folders of the deep and of the shallow tree
constexpr int kRounds = 7;

// A view that only counts, so that the timing is the scan's own.
class CountingView final : public WadDirectoryView {
  public:
    int insertRow(int, const std::string&) override { return m_rows++ * 0; }
    void removeRow(int) override { --m_rows; }
    void clearRows() override { m_rows = 0; }
    int rowCount() const override { return m_rows; }
    std::optional<int> selectedRow() const override { return std::nullopt; }
    std::string rowText(int) const override { return {}; }
    void setStatus(const std::string&) override {}
    void setSearching(bool) override {}

  private:
    int m_rows = 0;
};

void touch(const std::string& path) {
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
    ::close(fd);
}

void makeFolder(const std::string& path) {
    if (::mkdir(path.c_str(), 0755) != 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
}

void fillFolder(const std::string& folder, int files, bool withWad) {
    for (int i = 0; i < files; ++i) {
        touch(folder + (withWad && i == 0 ? "map.wad" : "file" + std::to_string(i) + ".txt"));
    }
}

// The timing tree: 10,000 folders in two levels, ten files in each.
void buildWideTree(const std::string& root) {
    makeFolder(root);
    for (int top = 0; top < kTopFolders; ++top) {
        const std::string topFolder = root + "t" + std::to_string(top) + "/";
        makeFolder(topFolder);
        fillFolder(topFolder, kFilesPerFolder, true);
        for (int sub = 0; sub < kSubfoldersEach; ++sub) {
            const std::string folder = topFolder + "s" + std::to_string(sub) + "/";
            makeFolder(folder);
            fillFolder(folder, kFilesPerFolder, true);
        }
    }
}

// 1,000 folders nested one in the other, five files in each, one WAD at the top
// (a WAD directory deeper down would have too long a path to be kept).
void buildDeepTree(const std::string& root) {
    makeFolder(root);
    std::string folder = root;
    for (int level = 0; level < kDepth; ++level) {
        folder += "d/";
        makeFolder(folder);
        fillFolder(folder, 5, level == 0);
    }
}

// 1,000 folders side by side, five files in each, one WAD in the last.
void buildShallowTree(const std::string& root) {
    makeFolder(root);
    for (int i = 0; i < kDepth; ++i) {
        const std::string folder = root + "d" + std::to_string(i) + "/";
        makeFolder(folder);
        fillFolder(folder, 5, i == kDepth - 1);
    }
}

int scan(const std::string& root) {
    CountingView view;
    MemoryModalMessageView messages;
    WadDirectoryEditor editor(view, messages, {});
    editor.scan({root});
    return view.rowCount();
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double timeFind(const std::string& root) {
    const Clock::time_point start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::execlp("find", "find", root.c_str(), "-name", "*.wad", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "find failed\n");
        std::exit(1);
    }
    return millisecondsSince(start);
}

double timeScan(const std::string& root, int& found) {
    const Clock::time_point start = Clock::now();
    found = scan(root);
    return millisecondsSince(start);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Memory {
    size_t peakHeap = 0;  // bytes
    long peakRss = 0;     // KiB
};

// Scans in a fresh process of this program, so that each tree's peak resident
// size is its own.
Memory measureScan(const std::string& root) {
    int pipe[2];
    if (::pipe(pipe) != 0) {
        std::exit(1);
    }
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipe[0]);
        ::dup2(pipe[1], STDOUT_FILENO);
        ::execl("/proc/self/exe", "wad_scan_bench", "--measure", root.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipe[1]);
    char text[128] = {};
    const ssize_t got = ::read(pipe[0], text, sizeof text - 1);
    ::close(pipe[0]);
    ::waitpid(child, nullptr, 0);
    Memory memory;
    if (got <= 0 || std::sscanf(text, "%zu %ld", &memory.peakHeap, &memory.peakRss) != 2) {
        std::fprintf(stderr, "measuring %s failed\n", root.c_str());
        std::exit(1);
    }
    return memory;
}

int measureHere(const std::string& root) {
    peakBytes.store(liveBytes.load());
    const size_t before = liveBytes.load();
    if (scan(root) != 1) {
        std::fprintf(stderr, "expected one WAD directory under %s\n", root.c_str());
        return 1;
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("%zu %ld\n", peakBytes.load() - before, usage.ru_maxrss);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::string(argv[1]) == "--measure") {
        return measureHere(argv[2]);
    }
    const fs::path parent = argc > 1 ? fs::path(argv[1]) : fs::temp_directory_path();
    std::string base = (parent / "wad-scan-bench-XXXXXX").string();
    if (::mkdtemp(base.data()) == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    base += "/";
    const std::string wide = base + "wide/";
    const std::string deep = base + "deep/";
    const std::string shallow = base + "shallow/";

    std::printf("building the trees under %s ...\n", base.c_str());
    buildWideTree(wide);
    buildDeepTree(deep);
    buildShallowTree(shallow);

    // Both read every folder once before timing starts, so both find them cached.
    int found = 0;
    timeFind(wide);
    timeScan(wide, found);
    std::vector<double> findTimes;
    std::vector<double> scanTimes;
    for (int round = 0; round < kRounds; ++round) {
        findTimes.push_back(timeFind(wide));
        scanTimes.push_back(timeScan(wide, found));
    }
    const int folders = kTopFolders * (1 + kSubfoldersEach);
    std::printf("tree: %d folders, %d files, one .wad in each folder; %d WAD directories found\n", folders,
                folders * kFilesPerFolder, found);
    std::printf("find -name '*.wad': median %7.1f ms, best %7.1f ms\n", median(findTimes),
                *std::min_element(findTimes.begin(), findTimes.end()));
    std::printf("WAD scan:           median %7.1f ms, best %7.1f ms\n", median(scanTimes),
                *std::min_element(scanTimes.begin(), scanTimes.end()));
    std::printf("scan / find: %.2f of the median (target: at most 1.50)\n",
                median(scanTimes) / median(findTimes));
    std::fflush(stdout);

    const Memory deepMemory = measureScan(deep);
    const Memory shallowMemory = measureScan(shallow);
    std::printf("memory, %d folders each, one WAD:  peak heap during the scan   peak RSS\n", kDepth);
    std::printf("  deep    (%4d levels)            %8.1f KiB              %6ld KiB\n", kDepth,
                static_cast<double>(deepMemory.peakHeap) / 1024, deepMemory.peakRss);
    std::printf("  shallow (   1 level )            %8.1f KiB              %6ld KiB\n",
                static_cast<double>(shallowMemory.peakHeap) / 1024, shallowMemory.peakRss);

    std::error_code error;
    fs::remove_all(base, error);
    return found == folders ? 0 : 1;
}
