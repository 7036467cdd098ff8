#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <thread>

#include "MountNamespace.h"
#include "Quarantine.h"
#include "RunProgram.h"
#include "Sha256.h"
#include "TempTree.h"

extern char** environ;

// Removals into the quarantine and back, through ombrix-scan and
// ombrix-quarantine. Every test takes files on tmpfs mounts of its own in a
// mount namespace of its own: a quarantine folder is made at the top of the
// file system a file lies on, and this machine's own must never get one.
namespace ombrix::test {
namespace {

// Names that match the list, folders they lie in and names that do not: blanks,
// a line end and bytes that are not UTF-8 among them.
const char* const kList = "' version 42\r\nTrojan.A\tbad.exe\r\nWorm.B\tcaf\xe9.dll\r\nVirus.C\ttwo words.com\r\n"
                          "Virus.D\tnew\nline.scr\r\n";
const char* const kFindings[] = {"bad.exe", "BAD.EXE", "caf\xe9.dll", "two words.com", "new\nline.scr"};
const char* const kFolders[] = {"", "plain/", "with blanks /", "caf\xe9/", "line\nend/", "a/b/c/"};
const char* const kOthers[] = {"good.txt", " bad.exe.txt", "caf\xc3\xa9.doc", "x\ny", "\xff\xfe"};

// What a file is, as a restore must give it back.
struct Facts {
    mode_t mode = 0;
    uid_t owner = 0;
    std::int64_t modified = 0;
    std::int64_t accessed = 0;
    std::string content;  // the bytes, or a link's target
    bool operator==(const Facts&) const = default;
};
using Snapshot = std::map<std::string, Facts>;

std::int64_t ns(const timespec& t)
{
    return std::int64_t(t.tv_sec) * 1000000000 + t.tv_nsec;
}

// Every entry below `folder` but folders, whose times any removal changes.
// Files are read without touching their access times.
void snapshot(const std::string& folder, Snapshot& into, const std::string& skip = {})
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    DIR* dir = ::fdopendir(fd);
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir))
        if (std::string_view(entry->d_name) != "." && std::string_view(entry->d_name) != ".." && entry->d_name != skip)
            names.emplace_back(entry->d_name);
    ::closedir(dir);
    for (const std::string& name : names) {
        const std::string path = folder + "/" + name;
        struct stat st;
        ::lstat(path.c_str(), &st);
        if (S_ISDIR(st.st_mode)) {
            into[path + "/"] = {};
            snapshot(path, into);
            continue;
        }
        // Reading a link sets its access time: only a file's is compared.
        Facts facts{st.st_mode, st.st_uid, ns(st.st_mtim), S_ISLNK(st.st_mode) ? 0 : ns(st.st_atim), {}};
        char buffer[65536];
        if (S_ISLNK(st.st_mode)) {
            const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
            facts.content.assign(buffer, std::size_t(n));
        } else {
            const int file = ::open(path.c_str(), O_RDONLY | O_NOATIME);
            for (ssize_t n; (n = ::read(file, buffer, sizeof buffer)) > 0;)
                facts.content.append(buffer, std::size_t(n));
            ::close(file);
        }
        into[path] = facts;
    }
}

Snapshot snapshotOf(const std::string& folder, const std::string& skip = {})
{
    Snapshot shot;
    snapshot(folder, shot, skip);
    return shot;
}

// The first entry two snapshots disagree on, for a failure message.
std::string firstDifference(const Snapshot& a, const Snapshot& b)
{
    for (const auto& [path, facts] : a)
        if (const auto other = b.find(path); other == b.end() || !(other->second == facts))
            return path;
    return a.size() == b.size() ? "" : "more entries after";
}

// A tree of `files` files, `findings` of them named in the list, with random
// contents, modes and times.
void buildTree(const std::string& root, int files, int findings, unsigned seed)
{
    std::mt19937 random(seed);
    const mode_t modes[] = {0644, 0600, 0755, 0400, 04750, 0000};
    for (int i = 0; i < files; ++i) {
        const std::string folder = root + "/" + std::to_string(i % 97) + "/" + kFolders[i % std::size(kFolders)];
        std::filesystem::create_directories(folder);
        const bool finding = i % (files / findings) == 0;
        const std::string name = finding ? kFindings[(i / (files / findings)) % std::size(kFindings)]
                                         : std::to_string(i) + kOthers[i % std::size(kOthers)];
        const std::string path = folder + name;
        if (finding && i % 7 == 3) {
            ::symlink(("../target-" + std::to_string(i)).c_str(), path.c_str());
        } else {
            const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            const std::string content(std::size_t(random() % 3000), char('a' + i % 26));
            (void)!::write(fd, content.data(), content.size());
            ::fchmod(fd, modes[random() % std::size(modes)]);
            ::close(fd);
        }
        const timespec times[2] = {{time_t(946684800 + random() % 800000000), long(random() % 1000000000)},
                                   {time_t(946684800 + random() % 800000000), long(random() % 1000000000)}};
        ::utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
}

class QuarantineTest : public ::testing::Test {
protected:
    // Runs `body` with a fresh tmpfs at drive() and another one for the home;
    // the tools run with a settings store and a data home on the latter.
    void onPrivateDrives(const std::function<void()>& body)
    {
        const Isolated outcome = inOwnMountNamespace([&] {
            for (const std::string& folder : {drive(), home()})
                if (::mount("tmpfs", folder.c_str(), "tmpfs", 0, "mode=0755") != 0)
                    return Isolated::Unavailable;
            ::setenv("OMBRIX_SETTINGS", (home() + "/settings.db").c_str(), 1);
            ::setenv("XDG_DATA_HOME", (home() + "/data").c_str(), 1);
            ::setenv("HOME", home().c_str(), 1);
            writeFile(home() + "/list.ini", kList);
            try {
                body();
            } catch (const std::exception& error) {
                ADD_FAILURE() << error.what();
            }
            return HasFailure() ? Isolated::Failed : Isolated::Passed;
        });
        if (outcome == Isolated::Unavailable)
            GTEST_SKIP() << "no mount namespace with tmpfs mounts of its own";
        EXPECT_EQ(outcome, Isolated::Passed);
    }

    std::string drive() const { return tree.path("drive"); }
    std::string home() const { return tree.path("home"); }

    ProgramResult scan(const std::string& folder, std::vector<std::string> options = {"--remove", "--quiet"})
    {
        std::vector<std::string> argv{OMBRIX_SCAN_TOOL, "--signatures", home() + "/list.ini"};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back(folder);
        return runProgram(argv);
    }

    ProgramResult tool(std::vector<std::string> args)
    {
        args.insert(args.begin(), OMBRIX_QUARANTINE_TOOL);
        return runProgram(args);
    }

    TempTree tree;

    void SetUp() override
    {
        tree.dir("drive");
        tree.dir("home");
    }
};

std::string storeOf(const std::string& top)
{
    return top + "/.ombrix-quarantine-" + std::to_string(::geteuid());
}

// The quarantine folder lies on the file's own file system, never the home's,
// and a walk of that file system does not find what it holds.
TEST_F(QuarantineTest, filesWaitOnTheirOwnFileSystemWhereNoWalkFindsThem)
{
    onPrivateDrives([&] {
        std::filesystem::create_directories(drive() + "/x");
        std::filesystem::create_directories(drive() + "/y");
        writeFile(drive() + "/x/bad.exe", "one");
        writeFile(drive() + "/y/bad.exe", "two");
        ASSERT_EQ(scan(drive()).status, 1);
        struct stat store;
        struct stat top;
        ASSERT_EQ(::stat(storeOf(drive()).c_str(), &store), 0);
        ::stat(drive().c_str(), &top);
        EXPECT_EQ(store.st_dev, top.st_dev);
        EXPECT_EQ(store.st_mode & 07777, 0700u);
        EXPECT_FALSE(std::filesystem::exists(home() + "/data/ombrix/quarantine"));
        // Twice the same name, from two folders: two entries.
        EXPECT_EQ(quarantine::List().size(), 2u);
        // Started at the quarantine folder itself, at a bind mount of it, or at its
        // file system's top, the walk finds nothing.
        writeFile(storeOf(drive()) + "/bad.exe", "planted");
        std::filesystem::create_directories(home() + "/bound");
        ASSERT_EQ(::mount(storeOf(drive()).c_str(), (home() + "/bound").c_str(), nullptr, MS_BIND, nullptr), 0);
        for (const std::string& start : {storeOf(drive()), home() + "/bound", drive()})
            EXPECT_EQ(scan(start, {"--quiet"}).status, 0) << start;
    });
}

// Where the top of the file's own file system has no folder the user may trust,
// the file is copied into the user's own quarantine; what stood there is left alone.
TEST_F(QuarantineTest, anUntrustworthyFolderAtTheTopSendsTheFileToTheUsersOwnQuarantine)
{
    const std::vector<std::pair<const char*, std::function<void(const std::string&)>>> planted = {
        {"a link to a folder", [](const std::string& at) { ::symlink("/tmp", at.c_str()); }},
        {"a folder of another user",
         [](const std::string& at) { ::mkdir(at.c_str(), 0700), (void)!::chown(at.c_str(), 4321, 4321); }},
        {"a folder open to all", [](const std::string& at) { ::mkdir(at.c_str(), 0700), ::chmod(at.c_str(), 0777); }},
        {"a file", [](const std::string& at) { writeFile(at, ""); }},
    };
    for (const auto& [what, plant] : planted) {
        SCOPED_TRACE(what);
        onPrivateDrives([&] {
            if (::geteuid() != 0 && std::string_view(what) == "a folder of another user")
                return;
            plant(storeOf(drive()));
            struct stat before;
            ::lstat(storeOf(drive()).c_str(), &before);
            writeFile(drive() + "/bad.exe", "keep me");
            ::chmod((drive() + "/bad.exe").c_str(), 0751);
            const std::string storeName = storeOf("").substr(1);
            const Snapshot original = snapshotOf(drive(), storeName);
            ASSERT_EQ(scan(drive()).status, 1);
            EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(drive() + "/bad.exe")));
            const std::vector<quarantine::Entry> entries = quarantine::List();
            ASSERT_EQ(entries.size(), 1u);
            EXPECT_FALSE(entries[0].ownFileSystem);
            EXPECT_EQ(entries[0].store, home() + "/data/ombrix/quarantine");
            // No full stop in its path: the walk knows it by what it is.
            writeFile(entries[0].store + "/bad.exe", "planted");
            EXPECT_EQ(scan(home(), {"--quiet"}).status, 0);
            struct stat after;
            ::lstat(storeOf(drive()).c_str(), &after);
            EXPECT_EQ(std::tie(after.st_mode, after.st_uid, after.st_ino),
                      std::tie(before.st_mode, before.st_uid, before.st_ino));
            // What a restore killed while copying back left beside the path.
            writeFile(drive() + "/.bad.exe." + entries[0].id + ".part", "cut short");
            EXPECT_EQ(tool({"restore", entries[0].id}).status, 0);
            EXPECT_EQ(firstDifference(original, snapshotOf(drive(), storeName)), "");
        });
    }
}

// Whichever road a file takes (a rename into its own file system's folder, or a
// copy into the user's own), it comes back as it was: awkward names, no bytes or
// several MB, a hole, a second name, special bits, a link as a link, times to
// the nanosecond.
TEST_F(QuarantineTest, everyKindOfFileComesBackAsItWasByEitherRoad)
{
    const struct {
        std::string name;  // below the tree; its last part matches the list
        std::string content;
        mode_t mode;
    } files[] = {
        {"dash/-bad.exe", "", 0644},
        {"tab\tand\\back/bad.exe", "x", 0600},
        {"big/bad.exe", std::string(3 * 1024 * 1024, 'b'), 0640},
        {"setuid/bad.exe", "#!/bin/sh\n", 04755},
        {"sticky/bad.exe", "s", 01644},
        {"readonly/bad.exe", "r", 0444},
    };
    for (const bool ownFileSystem : {true, false}) {
        SCOPED_TRACE(ownFileSystem ? "renamed" : "copied");
        onPrivateDrives([&] {
            if (!ownFileSystem)
                writeFile(storeOf(drive()), "");
            writeFile(home() + "/list.ini", "Trojan.A\tbad.exe\r\nTrojan.B\t-bad.exe\r\n");
            const std::string tree = drive() + "/tree";
            for (const auto& file : files) {
                std::filesystem::create_directories(std::filesystem::path(tree + "/" + file.name).parent_path());
                writeFile(tree + "/" + file.name, file.content);
                ::chmod((tree + "/" + file.name).c_str(), file.mode);
            }
            const int sparse = ::open((tree + "/big/bad.exe").c_str(), O_WRONLY);
            ::pwrite(sparse, "end", 3, 8 * 1024 * 1024);
            ::close(sparse);
            ::link((tree + "/dash/-bad.exe").c_str(), (tree + "/dash/second name").c_str());
            std::filesystem::create_directories(tree + "/links");
            ::symlink("/etc/passwd", (tree + "/links/bad.exe").c_str());
            ::symlink("nowhere", (tree + "/links/-bad.exe").c_str());
            for (const auto& file : files) {
                const timespec times[2] = {{1234567890, 123456789}, {1334567890, 987654321}};
                ::utimensat(AT_FDCWD, (tree + "/" + file.name).c_str(), times, 0);
            }
            ::chmod((tree + "/readonly").c_str(), 0555);
            const Snapshot before = snapshotOf(tree);

            ASSERT_EQ(scan(tree).status, 1);
            const std::vector<quarantine::Entry> entries = quarantine::List();
            ASSERT_EQ(entries.size(), std::size(files) + 2);
            for (const quarantine::Entry& entry : entries)
                EXPECT_EQ(entry.ownFileSystem, ownFileSystem) << entry.originalPath;
            EXPECT_EQ(tool({"restore", "--all"}).status, 0);
            EXPECT_EQ(firstDifference(before, snapshotOf(tree)), "");
        });
    }
}

// A restore never replaces what now stands at the path, and makes missing
// folders only when asked; the same path taken twice stays two entries.
TEST_F(QuarantineTest, aRestoreNeverReplacesAndMakesFoldersOnlyWhenAsked)
{
    onPrivateDrives([&] {
        const std::string file = drive() + "/docs/bad.exe";
        std::filesystem::create_directories(drive() + "/docs");
        writeFile(file, "first");
        ASSERT_EQ(scan(drive()).status, 1);
        writeFile(file, "second");
        ASSERT_EQ(scan(drive()).status, 1);
        const std::vector<quarantine::Entry> entries = quarantine::List();
        ASSERT_EQ(entries.size(), 2u);

        const struct {
            std::vector<std::string> args;
            int status;
            std::string err;
            const char* standing;  // what is at the path afterwards
        } steps[] = {
            {{"restore", entries[0].id}, 0, "", "first"},
            {{"restore", entries[1].id}, 1,
             "ombrix-quarantine: cannot restore " + entries[1].id + ": something stands at " + file +
                 " (restore it elsewhere with --to PATH)\n",
             "first"},
            {{"restore", "--to", drive() + "/new/second.exe", entries[1].id}, 1,
             "ombrix-quarantine: cannot restore " + entries[1].id + ": the folder of " + drive() +
                 "/new/second.exe is missing (make it with --parents)\n",
             "first"},
            {{"restore", "--parents", "--to", drive() + "/new/second.exe", entries[1].id}, 0, "", "first"},
            {{"restore", entries[1].id}, 1, "ombrix-quarantine: cannot restore " + entries[1].id + ": no such entry\n",
             "first"},
            {{"delete", "20010101T000000Z-000000000000"}, 1,
             "ombrix-quarantine: cannot delete 20010101T000000Z-000000000000: no such entry\n", "first"},
            {{"restore"}, 2, "", "first"},
            {{"purge", "--older-than", "x"}, 2, "", "first"},
        };
        for (const auto& step : steps) {
            const ProgramResult result = tool(step.args);
            EXPECT_EQ(result.status, step.status) << step.args[0] << " " << step.args.back() << ": " << result.err;
            if (step.status != 2) {
                EXPECT_EQ(result.err, step.err);
            }
            EXPECT_EQ(readFile(file), step.standing);
        }
        EXPECT_EQ(readFile(drive() + "/new/second.exe"), "second");
    });
}

// What stands in a store or on a command line cannot lead a restore or a delete
// outside the store: an id is never a path, and a held file that is not what its
// record says (a link planted in its place) is left alone, its target untouched.
TEST_F(QuarantineTest, aHostileIdOrHeldFileNeverReachesOutsideTheStore)
{
    onPrivateDrives([&] {
        writeFile(drive() + "/bad.exe", "held");
        ASSERT_EQ(scan(drive()).status, 1);
        const std::string store = storeOf(drive());
        const std::string id = quarantine::List().at(0).id;
        std::filesystem::create_directories(drive() + "/outside");
        std::filesystem::copy_file(store + "/" + id + ".entry", drive() + "/outside/x.entry");
        writeFile(drive() + "/outside/x.held", "outside");
        writeFile(drive() + "/victim", "victim");
        ::chmod((drive() + "/victim").c_str(), 0600);
        const auto plantLink = [&] {
            ::rename((store + "/" + id + ".held").c_str(), (drive() + "/kept").c_str());
            ::symlink((drive() + "/victim").c_str(), (store + "/" + id + ".held").c_str());
        };
        const struct {
            std::function<void()> plant;
            std::vector<std::string> args;
        } cases[] = {
            {[] {}, {"restore", "--to", drive() + "/restored", "../outside/x"}},
            {[] {}, {"restore", "../outside/x"}},
            {[] {}, {"delete", "../outside/x"}},
            {plantLink, {"restore", "--to", drive() + "/restored", id}},
        };
        for (const auto& c : cases) {
            c.plant();
            const Snapshot before = snapshotOf(drive(), storeOf("").substr(1));
            EXPECT_EQ(tool(c.args).status, 1) << c.args.back();
            EXPECT_EQ(firstDifference(before, snapshotOf(drive(), storeOf("").substr(1))), "") << c.args.back();
        }
    });
}

// Entries go when deleted, when older than a purge's days, and oldest first
// beyond the size limit.
TEST_F(QuarantineTest, entriesGoWhenDeletedPurgedOrBeyondTheLimit)
{
    onPrivateDrives([&] {
        for (int i = 0; i < 4; ++i) {
            std::filesystem::create_directories(drive() + "/" + std::to_string(i));
            writeFile(drive() + "/" + std::to_string(i) + "/bad.exe", std::string(600 * 1024, 'x'));
            ASSERT_EQ(scan(drive()).status, 1);
        }
        std::vector<quarantine::Entry> entries = quarantine::List();
        ASSERT_EQ(entries.size(), 4u);
        EXPECT_EQ(tool({"delete", entries[0].id}).status, 0);
        EXPECT_EQ(tool({"limit", "1"}).status, 0);
        EXPECT_EQ(tool({"limit"}).out, "1\n");
        entries = quarantine::List();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(entries[0].originalPath, drive() + "/3/bad.exe");
        EXPECT_EQ(tool({"purge", "--older-than", "1"}).status, 0);
        EXPECT_EQ(quarantine::List().size(), 1u);
        EXPECT_EQ(tool({"purge", "--older-than", "0"}).status, 0);
        EXPECT_EQ(quarantine::List().size(), 0u);
        EXPECT_EQ(snapshotOf(storeOf(drive())).size(), 0u);
    });
}

// What an interrupted take, copy or restore leaves is put right at the next use:
// a record whose file arrived is completed from it and the file sealed; a record
// without its file, and a copy cut short, go.
TEST_F(QuarantineTest, theNextUseFinishesOrDropsWhatAnInterruptionLeft)
{
    onPrivateDrives([&] {
        std::filesystem::create_directories(drive() + "/docs");
        writeFile(drive() + "/docs/bad.exe", "held");
        ASSERT_EQ(scan(drive()).status, 1);
        const std::string store = storeOf(drive());
        const quarantine::Entry whole = quarantine::List().at(0);
        const std::string record = store + "/" + whole.id + ".entry";
        const std::string text = readFile(record);
        // The start of the record as it stood when the file moved, and the file not yet sealed.
        writeFile(record, text.substr(0, text.find("size ", text.find("size ") + 1)));
        ::chmod((store + "/" + whole.id + ".held").c_str(), 0644);
        writeFile(store + "/20260101T000000Z-000000000001.entry", text.substr(0, 40));
        writeFile(store + "/20260101T000000Z-000000000002.entry", text);
        writeFile(store + "/20260101T000000Z-000000000003.part", "cut short");

        const std::vector<quarantine::Entry> entries = quarantine::List();
        ASSERT_EQ(entries.size(), 1u);
        EXPECT_EQ(std::tie(entries[0].id, entries[0].sha256, entries[0].size, entries[0].mode),
                  std::tie(whole.id, whole.sha256, whole.size, whole.mode));
        Snapshot left;
        snapshot(store, left);
        EXPECT_EQ(left.size(), 2u);
        EXPECT_EQ(left[store + "/" + whole.id + ".held"].mode & 07777, 0u);
    });
}

// Which entries --since takes, and list --json giving a path's exact bytes.
TEST_F(QuarantineTest, sinceChoosesByTimeTakenAndJsonKeepsTheBytes)
{
    onPrivateDrives([&] {
        std::filesystem::create_directories(drive() + "/caf\xe9");
        writeFile(drive() + "/caf\xe9/bad.exe", "x");
        ASSERT_EQ(scan(drive()).status, 1);
        EXPECT_NE(tool({"list", "--json"}).out.find("\"path\":\"" + drive() + "/caf\\udce9/bad.exe\""),
                  std::string::npos);
        const struct {
            const char* since;
            int status;
            bool restored;
        } cases[] = {{"2200-01-01", 0, false}, {"2200-01-01 10:00", 0, false}, {"yesterday", 2, false},
                     {"2000-13-45T10:00:00", 2, false}, {"2000-02-30", 2, false}, {"2001-02-29 10:00", 2, false},
                     {"2000-01-01T00:00", 0, true}};
        for (const auto& c : cases) {
            EXPECT_EQ(tool({"restore", "--all", "--since", c.since}).status, c.status) << c.since;
            EXPECT_EQ(std::filesystem::exists(drive() + "/caf\xe9/bad.exe"), c.restored) << c.since;
        }
    });
}

// Removing scans killed at random instants lose no file: each one found is at its
// path, or held by a complete entry that restores it. Each run starts over from
// the tree the restore gave back. OMBRIX_KILL_RUNS sets how many runs.
TEST_F(QuarantineTest, aScanKilledAtAnyInstantLosesNoFile)
{
    const char* runsText = std::getenv("OMBRIX_KILL_RUNS");
    const int runs = runsText ? std::atoi(runsText) : 30;
    onPrivateDrives([&] {
        buildTree(drive() + "/tree", 1500, 300, 7);
        const Snapshot original = snapshotOf(drive() + "/tree");
        // A whole scan first: it takes every finding, holds each where no one can
        // read or run it, and one restore gives back the very tree.
        const auto began = std::chrono::steady_clock::now();
        const ProgramResult removed = scan(drive() + "/tree");
        const auto whole = std::chrono::steady_clock::now() - began;
        ASSERT_EQ(removed.status, 1) << removed.err;
        EXPECT_NE(removed.out.find("Fixed:  300\n"), std::string::npos) << removed.out;
        EXPECT_EQ(snapshotOf(drive() + "/tree").size(), original.size() - 300);
        for (const auto& [path, facts] : snapshotOf(storeOf(drive()))) {
            if (!S_ISLNK(facts.mode)) {
                EXPECT_EQ(facts.mode & 07777, path.ends_with(".held") ? 0u : 0600u) << path;
            }
        }
        ASSERT_EQ(tool({"restore", "--all"}).status, 0);
        EXPECT_EQ(firstDifference(original, snapshotOf(drive() + "/tree")), "");
        EXPECT_EQ(tool({"list"}).out, "");
        std::mt19937 random(std::random_device{}());
        int killedMidway = 0;
        for (int run = 0; run < runs && !HasFailure(); ++run) {
            const std::string list = home() + "/list.ini";
            const std::string folder = drive() + "/tree";
            const char* argv[] = {OMBRIX_SCAN_TOOL, "--signatures", list.c_str(), "--remove", "--quiet",
                                  folder.c_str(), nullptr};
            pid_t pid = 0;
            ASSERT_EQ(::posix_spawn(&pid, OMBRIX_SCAN_TOOL, nullptr, nullptr, const_cast<char**>(argv), environ), 0);
            std::this_thread::sleep_for(whole * std::uniform_real_distribution<>(0.0, 1.2)(random));
            ::kill(pid, SIGKILL);
            int status = 0;
            ::waitpid(pid, &status, 0);
            killedMidway += WIFSIGNALED(status);

            Snapshot now = snapshotOf(drive() + "/tree");
            for (const quarantine::Entry& entry : quarantine::List()) {
                const auto was = original.find(entry.originalPath);
                ASSERT_NE(was, original.end()) << entry.originalPath;
                EXPECT_FALSE(now.contains(entry.originalPath)) << "held and at its path: " << entry.originalPath;
                Sha256 digest;
                digest.feed(was->second.content);
                EXPECT_EQ(entry.sha256, digest.hex()) << entry.originalPath;
                now[entry.originalPath] = was->second;
            }
            EXPECT_EQ(now.size(), original.size()) << "run " << run << ": files lost";
            ASSERT_EQ(tool({"restore", "--all"}).status, 0) << "run " << run;
            ASSERT_EQ(firstDifference(original, snapshotOf(drive() + "/tree")), "") << "run " << run;
        }
        std::printf("%d runs, %d killed before the scan ended\n", runs, killedMidway);
        std::fflush(stdout);
    });
}

}  // namespace
}  // namespace ombrix::test
