#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <random>

#include "EngineFixture.h"
#include "MountNamespace.h"
#include "Text.h"

// What the walk reports as passed over, checked against a model of random trees
// that knows what it built: unreadable folders, mounts, links of every kind.
namespace ombrix::test {
namespace {

using Reason = PassedOver::Reason;

enum class Kind { File, Folder, Unreadable, Mount, LinkToFolder, LinkToFile, DanglingLink };

struct Node {
    std::string name;
    Kind kind = Kind::File;
    std::vector<Node> children;  // of a folder, an unreadable folder or a mount
};

// A random folder's content. Names are drawn so that some start with a full stop.
std::vector<Node> randomChildren(std::mt19937& random, int depth)
{
    std::vector<Node> children;
    const int count = int(random() % 6);
    for (int i = 0; i < count; ++i) {
        Node node;
        node.name = (random() % 5 == 0 ? "." : "") + std::string("n") + std::to_string(i);
        const int roll = int(random() % 100);
        node.kind = roll < 35   ? Kind::File
                    : roll < 65 ? Kind::Folder
                    : roll < 74 ? Kind::Unreadable
                    : roll < 80 ? Kind::Mount
                    : roll < 88 ? Kind::LinkToFolder
                    : roll < 94 ? Kind::LinkToFile
                                : Kind::DanglingLink;
        if (depth < 3 && (node.kind == Kind::Folder || node.kind == Kind::Unreadable || node.kind == Kind::Mount))
            node.children = randomChildren(random, depth + 1);
        children.push_back(std::move(node));
    }
    return children;
}

// The tree on disk; mounts are made by the caller, in a namespace of its own.
void build(const TempTree& tree, const std::string& at, const std::vector<Node>& nodes,
           std::vector<std::string>& mounts, std::vector<std::string>& unreadable)
{
    for (const Node& node : nodes) {
        const std::string relative = at + "/" + node.name;
        switch (node.kind) {
        case Kind::File: tree.file(relative); break;
        case Kind::LinkToFolder: tree.symlink(relative, tree.path("outside")); break;
        case Kind::LinkToFile: tree.symlink(relative, tree.path("outside/file")); break;
        case Kind::DanglingLink: tree.symlink(relative, tree.path("nothing")); break;
        default:
            tree.dir(relative);
            if (node.kind == Kind::Mount)
                mounts.push_back(relative);
            else
                build(tree, relative, node.children, mounts, unreadable);
            if (node.kind == Kind::Unreadable)
                unreadable.push_back(relative);
        }
    }
}

struct Expected {
    double dirs = 1;
    double files = 0;
    std::vector<std::string> passed;  // "reason path error", sorted
};

// What a walk must report, told from the description alone.
void expect(const std::string& path, const std::vector<Node>& nodes, bool subfolders, Expected& out)
{
    for (const Node& node : nodes) {
        const std::string child = path + node.name;
        const bool hidden = node.name[0] == '.';
        const auto add = [&](Reason reason, int error = 0) {
            out.passed.push_back(std::string(ReasonName(reason)) + " " + child + " " + std::to_string(error));
        };
        switch (node.kind) {
        case Kind::File:
        case Kind::LinkToFile:
        case Kind::DanglingLink: out.files += 1; break;
        case Kind::LinkToFolder:
            out.files += 1;
            if (!hidden)
                add(Reason::Link);
            break;
        case Kind::Folder:
        case Kind::Unreadable:
        case Kind::Mount:
            if (hidden)
                break;
            if (!subfolders)
                add(Reason::SubfoldersOff);
            else if (node.kind == Kind::Mount)
                add(Reason::OtherFilesystem);
            else if (node.kind == Kind::Unreadable) {
                out.dirs += 1;
                add(Reason::CouldNotList, EACCES);
            } else {
                out.dirs += 1;
                expect(child + "/", node.children, subfolders, out);
            }
        }
    }
}

// The walk's report in the model's terms; a count its paths do not make up
// shows as a line of its own.
std::vector<std::string> reported()
{
    std::vector<std::string> lines;
    const PassedOver& passed = mFileSearch::PassedOverFolders();
    for (const Reason reason : kPassReasons) {
        for (const auto& entry : passed.paths(reason))
            lines.push_back(std::string(ReasonName(reason)) + " " + entry.path + " " + std::to_string(entry.error));
        if (passed.count(reason) != double(passed.paths(reason).size()))
            lines.push_back(std::string(ReasonName(reason)) + " counted " + decimal(passed.count(reason)));
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

TEST_F(WalkTest, passedOverFoldersMatchAModelOfRandomTrees)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        const std::vector<Node> nodes = randomChildren(random, 0);
        const bool subfolders = seed % 4 != 0;
        TempTree scratch;
        scratch.file("outside/file");
        scratch.dir("scan");
        std::vector<std::string> mounts, unreadable;
        build(scratch, "scan", nodes, mounts, unreadable);
        const std::string start = scratch.path("scan") + "/";
        Expected expected;
        expect(start, nodes, subfolders, expected);
        std::sort(expected.passed.begin(), expected.passed.end());

        const Isolated outcome = inOwnMountNamespace([&] {
            for (const std::string& mount : mounts) {
                if (::mount("tmpfs", scratch.path(mount).c_str(), "tmpfs", 0, "mode=0755") != 0)
                    return Isolated::Unavailable;
                writeFile(scratch.path(mount) + "/bad.exe", "");
            }
            for (const std::string& folder : unreadable)
                ::chmod(scratch.path(folder).c_str(), 0);
            // Permissions bind only without root's override.
            if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                return Isolated::Unavailable;
            window.scanSubFoldersOption = subfolders ? 1 : 0;
            mFileSearch::SearchFolder(window, start, true);
            const std::vector<std::string> got = reported();
            const bool same = got == expected.passed && mFileSearch::Counts().Dirs == expected.dirs &&
                              mFileSearch::Counts().Files == expected.files;
            if (!same)
                for (const std::string& line : got)
                    std::fprintf(stderr, "got %s\n", line.c_str());
            return same ? Isolated::Passed : Isolated::Failed;
        });
        if (outcome == Isolated::Unavailable)
            GTEST_SKIP() << "no mount namespace, or no user to drop root's rights to";
        EXPECT_EQ(outcome, Isolated::Passed) << "seed " << seed << ", expected:\n"
                                             << ::testing::PrintToString(expected.passed);
        for (const std::string& folder : unreadable)
            ::chmod(scratch.path(folder).c_str(), 0755);
    }
}

// Why a folder could not be opened decides how its passing over is reported:
// between listing and opening it may have gone, or been swapped for a link.
TEST(PassedOverReason, openErrorsTellAVanishedFolderALinkAndOneThatCouldNotBeListed)
{
    const struct {
        int error;
        Reason reason;
    } cases[] = {
        {ENOENT, Reason::Vanished},      {ENOTDIR, Reason::Vanished},    {ELOOP, Reason::Link},
        {ENAMETOOLONG, Reason::TooDeep}, {EACCES, Reason::CouldNotList}, {EIO, Reason::CouldNotList},
        {EMFILE, Reason::CouldNotList},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReasonOfOpenError(c.error), c.reason) << ErrorName(c.error);
    EXPECT_EQ(ErrorName(EACCES), "EACCES");
}

// A broken disk's report stays small: the count goes on, the paths stop.
TEST_F(WalkTest, passedOverPathsAreKeptUpToTheBoundAndCountedBeyondIt)
{
    const std::size_t folders = PassedOver::kPathsKept + 20;
    for (std::size_t i = 0; i < folders; ++i)
        tree.dir("scan/f" + std::to_string(i));
    window.scanSubFoldersOption = 0;
    walk();
    const PassedOver& passed = mFileSearch::PassedOverFolders();
    EXPECT_EQ(passed.count(Reason::SubfoldersOff), double(folders));
    EXPECT_EQ(passed.paths(Reason::SubfoldersOff).size(), PassedOver::kPathsKept);
    EXPECT_EQ(passed.total(), double(folders));
    window.scanSubFoldersOption = 1;
    walk();
    EXPECT_EQ(mFileSearch::PassedOverFolders().total(), 0) << "every walk starts its report afresh";
}

}  // namespace
}  // namespace ombrix::test
