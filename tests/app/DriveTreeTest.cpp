#include <gtest/gtest.h>

#include <memory>

#include "FakeShellEnvironment.h"
#include "frmMain.h"

namespace ombrix {
namespace {

// An entry as the user sees it: key, text, pictures, tag, parent, expanded.
std::string describe(const TreeEntry& e)
{
    return e.key + " | " + e.text + " | " + e.image + '/' + e.selectedImage + " | " + e.tag + " | " + e.parentKey +
           (e.expanded ? " | open" : "");
}

std::vector<std::string> describeAll(const DriveTree& tree)
{
    std::vector<std::string> lines;
    for (const TreeEntry& entry : tree.entries())
        lines.push_back(describe(entry));
    return lines;
}

class Tree : public ::testing::Test {
protected:
    frmMain& load()
    {
        form = std::make_unique<frmMain>(machine.make(), scanWindow);
        form->Form_Load();
        return *form;
    }
    void doubleClick(const std::string& key)
    {
        form->TreeView1.select(key);
        form->TreeView1_Click();
        form->TreeView1_DblClick();
    }

    test::FakeShellEnvironment machine;
    test::RecordingScanWindow scanWindow;
    std::unique_ptr<frmMain> form;
};

TEST_F(Tree, startUpListsEveryDriveUnderTheRootAndSelectsTheProgramsDrive)
{
    const frmMain& main = load();
    const std::vector<std::string> expected = {
        "mycomputer | My Computer | mycomputer/ | MyComputer |  | open",
        "drive.0 | / | harddrive/ | / | mycomputer",
        "drive.1 | /media/cd/ | cdrom/ | /media/cd/ | mycomputer",
        "drive.2 | /media/usb/ | floppy/ | /media/usb/ | mycomputer",
        "drive.3 | /mnt/share/ | networkdrive/ | /mnt/share/ | mycomputer",
        "drive.4 | /mnt/ram/ | unknown/ | /mnt/ram/ | mycomputer",
        "drive.5 | /mnt/overlay/ | unknown/ | /mnt/overlay/ | mycomputer",
    };
    EXPECT_EQ(describeAll(main.TreeView1), expected);
    ASSERT_TRUE(form->TreeView1.selected());
    EXPECT_EQ(form->TreeView1.selected()->key, "drive.2");
}

TEST_F(Tree, noDrivesListedGivesTheRootAlone)
{
    machine.drives.clear();
    EXPECT_EQ(load().TreeView1.entries().size(), 1u);
    EXPECT_EQ(form->TreeView1.selected(), nullptr);
}

TEST_F(Tree, pictureKeysFollowTheExactDescription)
{
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"Removable drive", "floppy"},
        {"Hard drive; can not be removed", "harddrive"},
        {"CD-ROM drive", "cdrom"},
        {"Remote (network) drive", "networkdrive"},
        {"RAM disk", "unknown"},
        {"The drive type cannot be determined", "unknown"},
        {"The root directory does not exist", "unknown"},
        {"", "unknown"},
        {"removable drive", "unknown"},
    };
    for (const auto& [text, key] : cases)
        EXPECT_EQ(DrivePictureKey(text), key) << text;
}

TEST_F(Tree, clickChoosesTheEntrysLocation)
{
    frmMain& main = load();
    main.TreeView1.select("drive.1");
    main.TreeView1_Click();
    EXPECT_EQ(main.scanloc, "/media/cd/");
    EXPECT_EQ(main.Label11, "/media/cd/");
    main.TreeView1.select("mycomputer");
    main.TreeView1_Click();
    EXPECT_EQ(main.scanloc, "MyComputer");
    EXPECT_EQ(main.Label11, "MyComputer");
    main.TreeView1.select("");
    main.TreeView1_Click();
    EXPECT_EQ(main.scanloc, "MyComputer");
}

TEST_F(Tree, doubleClickLoadsSubfoldersOnce)
{
    machine.folders["/media/usb/"] = {"/media/usb/Program Files", "/media/usb/WINDOWS"};
    machine.folders["/media/usb/WINDOWS"] = {"/media/usb/WINDOWS/system"};
    frmMain& main = load();
    doubleClick("drive.2");
    EXPECT_EQ(main.scanloc, "/media/usb/");
    doubleClick("drive.2.1");
    doubleClick("drive.2");
    EXPECT_EQ(main.scanloc, "/media/usb/");
    EXPECT_EQ(main.Label11, "/media/usb/");

    const auto& entries = main.TreeView1.entries();
    std::vector<std::string> folders;
    for (auto it = std::next(entries.begin(), 7); it != entries.end(); ++it)
        folders.push_back(describe(*it));
    const std::vector<std::string> expected = {
        "drive.2.0 | Program Files | closedfolder/openfolder | /media/usb/Program Files | drive.2",
        "drive.2.1 | WINDOWS | closedfolder/openfolder | /media/usb/WINDOWS | drive.2 | open",
        "drive.2.1.0 | system | closedfolder/openfolder | /media/usb/WINDOWS/system | drive.2.1",
    };
    EXPECT_EQ(folders, expected);
    EXPECT_TRUE(main.TreeView1.find("drive.2")->expanded);
    EXPECT_EQ(machine.listed, (std::vector<std::string>{"/media/usb/", "/media/usb/WINDOWS", "/media/usb/"}));
}

TEST_F(Tree, doubleClickOnAFolderWithoutSubfolders)
{
    machine.folders["/media/usb/"] = {"/media/usb/empty"};
    frmMain& main = load();
    doubleClick("drive.2");
    doubleClick("drive.2.0");
    EXPECT_EQ(main.scanloc, "/media/usb/empty");
    EXPECT_EQ(main.Label11, "/media/usb/empty");
    EXPECT_FALSE(main.TreeView1.find("drive.2.0")->expanded);
    EXPECT_EQ(main.TreeView1.entries().size(), 8u);
}

TEST_F(Tree, doubleClickOnTheRootChangesNothing)
{
    frmMain& main = load();
    main.TreeView1.select("mycomputer");
    main.TreeView1_DblClick();
    EXPECT_EQ(main.scanloc, "/media/usb/");
    EXPECT_TRUE(machine.listed.empty());
}

TEST(LastPathPart, textAfterTheLastSeparator)
{
    EXPECT_EQ(LastPathPart("/usr/share"), "share");
    EXPECT_EQ(LastPathPart("share"), "share");
    EXPECT_EQ(LastPathPart("/usr/"), "");
    EXPECT_EQ(LastPathPart("/a b/c\\d"), "c\\d");
}

}  // namespace
}  // namespace ombrix
