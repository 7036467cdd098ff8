#include <gtest/gtest.h>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Fakes.h"
#include "FolderOfPath.h"

namespace ombrix::test {
namespace {

class FormTest : public ::testing::Test, public FormFixture {
protected:
    FormTest() { form.attachView(&view); }

    static bool exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

    // The user closes the window at the first yield.
    void scanClosingAtFirstYield()
    {
        int yields = 0;
        view.onYield = [&] {
            if (yields++ == 0)
                form.Form_Unload();
        };
        scan();
    }

    FakeView view{log};
};

// Keeps a file from being deleted: the immutable flag for root (who may delete
// anything else), a read-only folder for other users. Undone when it goes.
class Undeletable {
public:
    Undeletable(const std::string& file, const std::string& folder) : file_(file), folder_(folder)
    {
        if (::geteuid() == 0)
            works_ = setImmutable(true);
        else
            works_ = ::chmod(folder_.c_str(), 0555) == 0;
    }
    ~Undeletable()
    {
        if (::geteuid() == 0)
            setImmutable(false);
        else
            ::chmod(folder_.c_str(), 0755);
    }
    bool works() const { return works_; }

private:
    bool setImmutable(bool on) const
    {
        const int fd = ::open(file_.c_str(), O_RDONLY | O_CLOEXEC);
        int flags = 0;
        bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        if (fd >= 0)
            ::close(fd);
        return done;
    }
    std::string file_;
    std::string folder_;
    bool works_ = false;
};

TEST(FolderOfPath, keepsEveryPartButTheLast)
{
    const struct {
        const char* path;
        const char* folder;
    } cases[] = {
        {"/srv/Temp/x.exe", "/srv/Temp/"}, {"/x.exe", "/"},       {"/srv/Temp/", "/srv/"},
        {"x.exe", ""},                     {"//host/share/x.exe", "//host/share/"},
        {"/d/a b/c.exe", "/d/a b/"},       {"a//b", "a//"},       {"/", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FolderOfPath(c.path), c.folder) << "path " << c.path;
}

TEST_F(FormTest, cancelDuringTheWalkStopsItAndTheButtonThenCloses)
{
    for (const char* folder : {"a", "b", "c", "d"})
        tree.file(std::string("scan/") + folder + "/x/file.txt");
    view.onYield = [&] {
        form.Command1_Click();
        form.Command1_Click();
        EXPECT_TRUE(form.canceled);
        EXPECT_EQ(form.buttonCaption(), "Cancel");
    };
    scan();

    EXPECT_NE(text(ScanLabel::Label2), "Dirs: 9");
    EXPECT_EQ(text(ScanLabel::Label6), "Scan Canceled");
    EXPECT_EQ(text(ScanLabel::Label7), "");
    EXPECT_EQ(form.buttonCaption(), "Close");
    EXPECT_EQ(log, (Log{"running", "ended"}));

    form.Command1_Click();
    EXPECT_EQ(log, (Log{"running", "ended", "hide", "show main"}));
    EXPECT_TRUE(form.canceled);
}

TEST_F(FormTest, selectionChangedDuringAYieldDecidesWhatTheFinalPassTreats)
{
    tree.file("scan/a/bad.exe");
    tree.file("scan/b/bad.exe");
    tree.file("scan/c/clean.txt");
    view.onYield = [&] {
        if (form.findings().size() == 2 && form.selectedRow() == 2) {
            ::unlink(row(1).FullPath.c_str());
            ::unlink(row(2).FullPath.c_str());
            form.selectFinding(1, true);
            form.selectFinding(2, false);
        }
    };
    scan();

    EXPECT_EQ(row(1).IconKey, "greenbug");
    EXPECT_EQ(row(2).IconKey, "redbug");
    EXPECT_EQ(text(ScanLabel::Label1), "Fixed:  1");
    EXPECT_EQ(storedResult("UnabletoClean"), "0");
}

TEST_F(FormTest, theMenuActsOnTheRowMadeSelectedLast)
{
    EXPECT_FALSE(form.ListView1_MouseUp(MouseButton::Right)) << "empty list";
    scanTwoFindings();
    EXPECT_EQ(form.selectedRow(), 2u);
    form.selectFinding(1, true);
    EXPECT_EQ(form.selectedRow(), 1u);
    form.selectFinding(1, false);
    EXPECT_EQ(form.selectedRow(), 2u);
    form.selectFinding(2, false);
    EXPECT_EQ(form.selectedRow(), 0u);
    EXPECT_FALSE(form.ListView1_MouseUp(MouseButton::Right));
}

TEST_F(FormTest, deleteThisFileDeletesOnlyWithAutoRepair)
{
    scanTwoFindings();
    const std::string second = row(2).FullPath;
    form.AutoRepair = 2;
    form.mnuDeletethisFile_Click();
    EXPECT_TRUE(exists(second));
    EXPECT_EQ(row(2).IconKey, "redbug");

    ::unlink(second.c_str());
    form.mnuDeletethisFile_Click();
    EXPECT_EQ(row(2).IconKey, "greenbug") << "a file gone by other means turns green";

    form.AutoRepair = 1;
    form.selectFinding(1, true);
    form.mnuDeletethisFile_Click();
    EXPECT_FALSE(exists(row(1).FullPath));
    EXPECT_EQ(row(1).IconKey, "greenbug");
    EXPECT_EQ(text(ScanLabel::Label1), "Fixed:  0");
    EXPECT_TRUE(log.empty());
}

TEST_F(FormTest, deleteThisFileReportsAFileThatStays)
{
    scanTwoFindings();
    const Undeletable stuck(row(2).FullPath, FolderOfPath(row(2).FullPath));
    if (!stuck.works())
        GTEST_SKIP() << "this file system cannot keep a file from being deleted";
    form.AutoRepair = 0;
    form.mnuDeletethisFile_Click();
    EXPECT_TRUE(log.empty());

    form.AutoRepair = 1;
    form.mnuDeletethisFile_Click();
    EXPECT_TRUE(exists(row(2).FullPath));
    EXPECT_EQ(row(2).IconKey, "redbug");
    EXPECT_EQ(log, Log{"message Unable to kill this file"});
}

TEST_F(FormTest, openFolderOpensTheFoldersPathWhateverAutoRepair)
{
    scanTwoFindings();
    const std::string folder = tree.path(row(2).VirusName == "Worm.B" ? "scan/b b/" : "scan/a/");
    for (const int16_t repair : {0, 1}) {
        form.AutoRepair = repair;
        form.mnuOpenFolder_Click();
    }
    EXPECT_EQ(log, (Log{"open " + folder, "open " + folder}));
    EXPECT_TRUE(exists(row(2).FullPath));
}

TEST_F(FormTest, unloadShowsTheMainWindowOnlyAfterARunWithMessages)
{
    form.Form_Unload();
    EXPECT_EQ(log, Log{"hide"});

    log.clear();
    scan(true);
    EXPECT_EQ(log, (Log{"running", "hide", "ended"})) << "a silent run closes without the main window";

    scanTwoFindings();
    form.Form_Unload();
    EXPECT_EQ(log, (Log{"hide", "show main"}));
}

TEST_F(FormTest, aCleanRunClosesTheWindowAfterItsMessage)
{
    tree.file("scan/clean.txt");
    scan();
    EXPECT_EQ(log, (Log{"running", "message Scan Complete - Your Clean", "hide", "show main", "ended"}));
}

TEST_F(FormTest, aFreshShowingStartsFromTheDesignButKeepsTheOptions)
{
    scanTwoFindings();
    form.AutoRepair = 2;
    form.canceled = true;
    form.load();
    EXPECT_EQ(form.findings().size(), 2u) << "still loaded: nothing to reset";

    form.Form_Unload();
    form.load();
    EXPECT_EQ(text(ScanLabel::Label1), "Fixed:  0");
    EXPECT_EQ(text(ScanLabel::Label2), "Dirs:  0");
    EXPECT_EQ(text(ScanLabel::Label3), "Files:  0");
    EXPECT_EQ(text(ScanLabel::Label4), "Scanning for xxxx items.");
    EXPECT_EQ(text(ScanLabel::Label5), "Detected:  0");
    EXPECT_EQ(text(ScanLabel::Label6), "Current Item:");
    EXPECT_EQ(text(ScanLabel::Label7), "Current: 0");
    EXPECT_EQ(form.buttonCaption(), "Cancel");
    EXPECT_TRUE(form.findings().empty());
    EXPECT_FALSE(form.hasColumns());
    EXPECT_EQ(form.AutoRepair, 2);
    EXPECT_TRUE(form.canceled);
}

// The walk goes on, no message appears over the gone window, and the main
// window comes back once, before the program may end again.
TEST_F(FormTest, aWindowClosedDuringARunWithFindingsBringsTheMainWindowBack)
{
    tree.file("scan/z/bad.exe");
    tree.file("scan/y/x.txt");
    scanClosingAtFirstYield();
    EXPECT_EQ(log, (Log{"running", "hide", "show main", "ended"}));
    EXPECT_EQ(text(ScanLabel::Label2), "Dirs: 3") << "the walk went on to its end";
    EXPECT_FALSE(form.canceled);
    EXPECT_EQ(storedResult("Found"), "2");
}

TEST_F(FormTest, aWindowClosedDuringACleanRunBringsTheMainWindowBackOnce)
{
    tree.file("scan/z/clean.txt");
    tree.file("scan/y/x.txt");
    scanClosingAtFirstYield();
    EXPECT_EQ(log, (Log{"running", "hide", "show main", "ended"}));
    EXPECT_EQ(storedResult("Found"), "1");
}

TEST_F(FormTest, aWindowClosedDuringTheRunLeavesAClosedMainWindowClosed)
{
    tree.file("scan/z/bad.exe");
    mainWindow.closed = true;
    view.onYield = [&] {
        if (!form.canceled) {
            form.canceled = true;
            form.Form_Unload();
        }
    };
    scan();
    EXPECT_EQ(log, (Log{"running", "hide", "ended"}));
}

}  // namespace
}  // namespace ombrix::test
