#include <fcntl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include "EngineFixture.h"
#include "MountNamespace.h"

// Deep chains, descriptor limits, a folder swapped for a link, and mounts.
namespace ombrix::test {
namespace {

using mFileSearch::Counts;

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

// Under a descriptor limit lower than the tree is deep, the walk lets go of the
// folders above it and finds them again by identity: with and without read-ahead
// helpers it reaches every folder and file an unlimited walk reaches.
TEST_F(WalkTest, everyFolderIsReachedUnderADescriptorLimitBelowTheTreesDepth)
{
    constexpr int kDepth = 300;
    std::string level = "scan";
    for (int i = 0; i < kDepth; ++i) {
        tree.file(level + "/f");
        tree.file(level + "/side/g");
        level += "/d";
    }
    tree.file(level + "/bad.exe");
    tree.file("scan/d/d/side/bad.exe");
    walk();
    const mFileSearch::ScanCounts all = Counts();
    const std::vector<std::string> found = foundPaths();
    ASSERT_EQ(found.size(), 2u);
    for (const rlim_t limit : {16, 64, 256}) {
        for (const unsigned threads : {0u, 2u}) {
            const auto limited = [&] {
                const rlimit low{limit, limit};
                if (::setrlimit(RLIMIT_NOFILE, &low) != 0)
                    return false;
                mFileSearch::SetPrefetchThreads(threads);
                window.rows.clear();
                walk();
                return Counts().Dirs == all.Dirs && Counts().Files == all.Files && Counts().Unreached == 0 &&
                       foundPaths() == found;
            };
            EXPECT_EXIT(std::_Exit(limited() ? 0 : 1), ::testing::ExitedWithCode(0), "")
                << "limit " << limit << ", " << threads << " helpers";
        }
    }
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
