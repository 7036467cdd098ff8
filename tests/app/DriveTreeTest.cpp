#include <gtest/gtest.h>

#include "ShellFixture.h"

namespace ombrix {
namespace {

class Tree : public test::ShellFixture {
protected:
    // An entry as the user sees it: key, text, pictures, tag, parent, expanded.
    std::string describe(const TreeEntry& e) const
    {
        return e.key + " | " + shown(e.text) + " | " + e.image + '/' + e.selectedImage + " | " + shown(e.tag) +
               " | " + e.parentKey + (e.expanded ? " | open" : "");
    }
    std::vector<std::string> describeFrom(std::size_t first) const
    {
        std::vector<std::string> lines;
        const auto& entries = form->TreeView1.entries();
        for (std::size_t i = first; i < entries.size(); ++i)
            lines.push_back(describe(entries[i]));
        return lines;
    }
    void doubleClick(const std::string& key)
    {
        form->TreeView1.select(key);
        form->TreeView1_Click();
        form->TreeView1_DblClick();
    }
};

TEST_F(Tree, startUpListsEveryDriveUnderTheRootAndSelectsTheProgramsDrive)
{
    load();
    const std::vector<std::string> expected = {
        "mycomputer | My Computer | mycomputer/ | MyComputer |  | open",
        "drive.0 | /hd/ | harddrive/ | /hd/ | mycomputer",
        "drive.1 | /cd/ | cdrom/ | /cd/ | mycomputer",
        "drive.2 | /usb/ | floppy/ | /usb/ | mycomputer",
        "drive.3 | /share/ | networkdrive/ | /share/ | mycomputer",
        "drive.4 | /ram/ | unknown/ | /ram/ | mycomputer",
        "drive.5 | /overlay/ | unknown/ | /overlay/ | mycomputer",
    };
    EXPECT_EQ(describeFrom(0), expected);
    ASSERT_TRUE(form->TreeView1.selected());
    EXPECT_EQ(form->TreeView1.selected()->key, "drive.2");
}

TEST_F(Tree, noDrivesListedGivesTheRootAlone)
{
    drives.clear();
    EXPECT_EQ(load().TreeView1.entries().size(), 1u);
    EXPECT_EQ(form->TreeView1.selected(), nullptr);
}

TEST(DrivePictureKey, onlyTheExactDescriptionsHaveTheirOwnPicture)
{
    for (const char* text : {"The root directory does not exist", "", "removable drive", "CD-ROM drive "})
        EXPECT_EQ(DrivePictureKey(text), "unknown") << '"' << text << '"';
}

TEST_F(Tree, clickChoosesTheEntrysLocation)
{
    frmMain& main = load();
    main.TreeView1.select("drive.1");
    main.TreeView1_Click();
    EXPECT_EQ(shown(main.scanloc), "/cd/");
    EXPECT_EQ(main.Label11, main.scanloc);
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
    subfolders[at("usb/")] = {at("usb/Program Files"), at("usb/WINDOWS")};
    subfolders[at("usb/WINDOWS")] = {at("usb/WINDOWS/system")};
    frmMain& main = load();
    doubleClick("drive.2");
    EXPECT_EQ(shown(main.scanloc), "/usb/");
    doubleClick("drive.2.1");
    EXPECT_EQ(shown(main.scanloc), "/usb/WINDOWS");
    doubleClick("drive.2");
    EXPECT_EQ(shown(main.scanloc), "/usb/");
    EXPECT_EQ(main.Label11, main.scanloc);

    const std::vector<std::string> expected = {
        "drive.2.0 | Program Files | closedfolder/openfolder | /usb/Program Files | drive.2",
        "drive.2.1 | WINDOWS | closedfolder/openfolder | /usb/WINDOWS | drive.2 | open",
        "drive.2.1.0 | system | closedfolder/openfolder | /usb/WINDOWS/system | drive.2.1",
    };
    EXPECT_EQ(describeFrom(7), expected);
    EXPECT_TRUE(main.TreeView1.find("drive.2")->expanded);
    EXPECT_EQ(listed, (std::vector<std::string>{"/usb/", "/usb/WINDOWS", "/usb/"}));
}

TEST_F(Tree, doubleClickOnAFolderWithoutSubfolders)
{
    subfolders[at("usb/")] = {at("usb/empty")};
    frmMain& main = load();
    doubleClick("drive.2");
    doubleClick("drive.2.0");
    EXPECT_EQ(shown(main.scanloc), "/usb/empty");
    EXPECT_EQ(main.Label11, main.scanloc);
    EXPECT_FALSE(main.TreeView1.find("drive.2.0")->expanded);
    EXPECT_EQ(main.TreeView1.entries().size(), 8u);
}

TEST_F(Tree, doubleClickOnTheRootChangesNothing)
{
    frmMain& main = load();
    const std::string before = main.scanloc;
    main.TreeView1.select("mycomputer");
    main.TreeView1_DblClick();
    EXPECT_EQ(main.scanloc, before);
    EXPECT_TRUE(listed.empty());
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
