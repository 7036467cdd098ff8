#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include "EngineFixture.h"
#include "MountNamespace.h"

// Links, FIFOs, sockets, mounts, permissions and descriptor limits.
namespace ombrix::test {
namespace {

using mFileSearch::Counts;

TEST_F(WalkTest, specialEntriesAreTestedByNameAndUnlinkedWithoutBeingFollowed)
{
    tree.file("outside/bad.exe", "keep me");
    tree.dir("outside/folder");
    tree.file("outside/folder/worm.dll");
    tree.fifo("scan/a/bad.exe");
    tree.socket("scan/b/bad.exe");
    tree.symlink("scan/c/bad.exe", tree.path("outside/bad.exe"));
    tree.symlink("scan/linked-folder", tree.path("outside/folder"));
    window.autoRepairOption = 1;
    walk();
    EXPECT_EQ(window.rows.size(), 3u);
    EXPECT_FALSE(tree.exists("scan/a/bad.exe"));
    EXPECT_FALSE(tree.exists("scan/b/bad.exe"));
    EXPECT_FALSE(tree.exists("scan/c/bad.exe"));
    EXPECT_TRUE(tree.exists("outside/bad.exe"));
    EXPECT_TRUE(tree.exists("outside/folder/worm.dll"));
    EXPECT_EQ(Counts().Dirs, 4);
    EXPECT_EQ(Counts().Files, 4);  // the link to a folder is an entry, not a folder
}

// The walk, the final pass and the list's menu each reach the deepest file with

// no more than the usual 1,024 descriptors and no recursion on the machine stack.

TEST_F(WalkTest, aHundredThousandFolderChainIsWalkedAndItsDeepestFileReached)
{
    constexpr int kDepth = 100000;
    tree.dir("scan");
    ::setenv("OMBRIX_SETTINGS", tree.path("settings.db").c_str(), 1);
    window.keepVisits = false;
    const auto buildAndScan = [&] {
        const int start = ::open(".", O_RDONLY | O_DIRECTORY);
        EXPECT_EQ(::chdir(tree.path("scan").c_str()), 0);
        for (int i = 0; i < kDepth - 1; ++i) {
            ::mkdir("d", 0755);
            test::writeFile("f", "");
            EXPECT_EQ(::chdir("d"), 0);
        }
        test::writeFile("bad.exe", "");
        EXPECT_EQ(::fchdir(start), 0);
        ::close(start);

        rlimit saved;
        ::getrlimit(RLIMIT_NOFILE, &saved);
        rlimit limited = saved;
        limited.rlim_cur = 1024;
        ::setrlimit(RLIMIT_NOFILE, &limited);
        std::string drive = tree.path("scan");
        const ScanSummary summary = ScanSystem(window, drive, true);
        const std::string found = window.rows.empty() ? std::string() : window.rows[0].fullPath;
        const bool foundExists = mFileSearch::FileExists(found);
        const bool deleted = mFileSearch::DeleteFile(found, "Trojan.A");
        ::setrlimit(RLIMIT_NOFILE, &saved);

        EXPECT_EQ(summary.dirs, kDepth);
        EXPECT_EQ(summary.files, kDepth);
        EXPECT_EQ(summary.rows, 1u);
        EXPECT_EQ(found.size(), drive.size() + 2 * (kDepth - 1) + std::string("bad.exe").size());
        EXPECT_EQ(summary.stillPresent, 1u);
        EXPECT_TRUE(foundExists);
        EXPECT_TRUE(deleted);
        EXPECT_FALSE(mFileSearch::FileExists(found));
        EXPECT_TRUE(mFileSearch::FileExists(found.substr(0, found.size() - std::string("d/bad.exe").size()) + "f"));
        return HasFailure() ? Isolated::Failed : Isolated::Passed;
    };
    // On a tmpfs of its own where one can be had: a disk takes a minute to make
    // and remove such a chain.
    Isolated outcome = inOwnMountNamespace([&] {
        if (::mount("tmpfs", tree.path("scan").c_str(), "tmpfs", 0, nullptr) != 0)
            return Isolated::Unavailable;
        return buildAndScan();
    });
    if (outcome == Isolated::Unavailable)
        outcome = buildAndScan();
    EXPECT_EQ(outcome, Isolated::Passed);
}

bool someDescriptorOpens(const std::string& path)
{
    for (int fd = 0; fd < 1024; ++fd) {
        char target[4096];
        const ssize_t n = ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), target, sizeof target);
        if (n > 0 && std::string(target, std::size_t(n)) == path)
            return true;
    }
    return false;
}

// A helper may have opened and listed a folder long before the walk gets there;

// if the folder is swapped for a link meanwhile, the walk neither follows the

// link nor walks the folder it no longer finds under that name.

TEST_F(WalkTest, aFolderSwappedForALinkAfterItWasReadAheadIsNotFollowed)
{
    for (const char* folder : {"scan/p/deeper/bad.exe", "scan/q/deeper/bad.exe", "outside/bad.exe"})
        tree.file(folder);
    window.autoRepairOption = 1;
    mFileSearch::SetPrefetchThreads(2);
    bool swapped = false;
    window.onYield = [&](RecordingWindow& w) {
        if (swapped)
            return;
        swapped = true;
        const bool pFirst = w.visitedFolders.size() > 1 && w.visitedFolders[1] == tree.path("scan/p");
        const std::string later = tree.path(pFirst ? "scan/q" : "scan/p");
        for (int i = 0; i < 200 && !someDescriptorOpens(later); ++i)
            ::usleep(10000);
        ASSERT_TRUE(someDescriptorOpens(later)) << "the prefetcher never opened " << later;
        ASSERT_EQ(::rename(later.c_str(), tree.path("moved").c_str()), 0);
        ASSERT_EQ(::symlink(tree.path("outside").c_str(), later.c_str()), 0);
    };
    walk();
    mFileSearch::SetPrefetchThreads(std::nullopt);
    EXPECT_EQ(window.rows.size(), 1u);
    EXPECT_TRUE(tree.exists("outside/bad.exe"));
    EXPECT_TRUE(tree.exists("moved/deeper/bad.exe"));
    EXPECT_EQ(Counts().Dirs, 4);  // the start, the first folder and its subfolder, the link's name
}

TEST_F(WalkTest, unlistableFolderCountsAndAddsNothing)
{
    tree.file("scan/locked/bad.exe");
    tree.file("scan/ok.txt");
    ::chmod(tree.path("scan/locked").c_str(), 0);
    // Permissions bind only without root's override, so the walk runs as nobody.
    EXPECT_EXIT(
        {
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                std::_Exit(3);
            walk();
            const bool ok = Counts().Dirs == 2 && Counts().Files == 1 && window.rows.empty() && window.yields == 2;
            std::_Exit(ok ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

// Whatever a mount point below the start folder mounts (another file system, or

// the same one bound a second time), and whatever lies beside it under a name

// that trims to its own, the walk passes over it and a removing scan leaves it alone.

TEST_F(WalkTest, mountPointsBelowTheStartFolderArePassedOver)
{
    tree.file("scan/ sub/bad.exe");
    tree.dir("scan/sub");
    tree.dir("scan/bound");
    tree.file("outside/bad.exe");
    window.autoRepairOption = 1;
    const Isolated outcome = inOwnMountNamespace([&] {
        if (::mount("tmpfs", tree.path("scan/sub").c_str(), "tmpfs", 0, nullptr) != 0 ||
            ::mount(tree.path("outside").c_str(), tree.path("scan/bound").c_str(), nullptr, MS_BIND, nullptr) != 0)
            return Isolated::Unavailable;
        writeFile(tree.path("scan/sub/bad.exe"), "");
        walk();
        const bool walked = Counts().Dirs == 2 && Counts().Files == 1 &&
                            foundPaths() == std::vector<std::string>{tree.path("scan/ sub/bad.exe")};
        const bool kept = tree.exists("scan/sub/bad.exe") && tree.exists("outside/bad.exe");
        return walked && kept && !tree.exists("scan/ sub/bad.exe") ? Isolated::Passed : Isolated::Failed;
    });
    if (outcome == Isolated::Unavailable)
        GTEST_SKIP() << "no mount namespace of its own can be made here, so nothing can be mounted";
    EXPECT_EQ(outcome, Isolated::Passed);
}

}  // namespace
}  // namespace ombrix::test
