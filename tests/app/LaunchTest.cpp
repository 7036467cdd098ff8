#include <gtest/gtest.h>

#include "ShellFixture.h"

namespace ombrix {
namespace {

class Launch : public test::ShellFixture {
protected:
    void choose(const std::string& key)
    {
        form->TreeView1.select(key);
        form->TreeView1_Click();
    }
};

TEST_F(Launch, rootEntryIsRefused)
{
    load();
    choose("mycomputer");
    form->Label6_Click();
    EXPECT_EQ(messages.texts, std::vector<std::string>{"Please select a drive to scan"});
    EXPECT_EQ(view.log, std::vector<std::string>{"shown"});
    EXPECT_TRUE(form->visible());
}

TEST_F(Launch, scanUsesTheCheckBoxesAtTheMomentOfTheClick)
{
    tree.file("usb/docs/bad.exe", "x");
    load();
    view.log.clear();
    choose("drive.2");
    form->Check2 = 0;
    form->Check3 = 0;
    form->Label6_Click();

    const std::vector<std::string> expected = {
        "scan window shown", "caption Varno Ombrix - Scanning:  " + at("usb/"), "hidden"};
    EXPECT_EQ(view.log, expected);
    const frmScan& scan = form->scanWindow();
    EXPECT_EQ(scan.ScanSubFolders, 1);
    EXPECT_EQ(scan.ScanAll, 0);
    EXPECT_EQ(scan.AutoRepair, 0);
    ASSERT_EQ(scan.findings().size(), 1u);
    EXPECT_TRUE(tree.exists("usb/docs/bad.exe"));
    EXPECT_EQ(messages.texts, std::vector<std::string>{"Scan Complete - Problems were found!"});
    EXPECT_EQ(messages.mainVisible, std::vector<bool>{false});
    // The scan window stays with its findings; closing it brings the main window back.
    EXPECT_FALSE(form->visible());
    form->scanWindow().Command1_Click();
    EXPECT_TRUE(form->visible());
}

TEST_F(Launch, cleanScanBringsTheMainWindowBack)
{
    tree.file("cd/fine.txt", "x");
    load();
    choose("drive.1");
    form->Image3_Click();
    EXPECT_EQ(messages.texts, std::vector<std::string>{"Scan Complete - Your Clean"});
    EXPECT_EQ(messages.mainVisible, std::vector<bool>{false});
    EXPECT_TRUE(form->visible());
    EXPECT_EQ(stored("", "FileCount"), "1");
}

TEST_F(Launch, scanIconScansTheChosenFolderWithItsOwnOptions)
{
    tree.file("usb/docs/bad.exe", "x");
    tree.file("usb/docs/inner/bad.exe", "x");
    tree.file("usb/bad.exe", "x");
    subfolders[at("usb/")] = {at("usb/docs")};
    load();
    choose("drive.2");
    form->TreeView1_DblClick();
    choose("drive.2.0");
    form->Check1 = 0;
    form->Image3_Click();
    EXPECT_EQ(view.log.at(2), "caption Varno Ombrix - Scanning:  " + at("usb/docs"));
    EXPECT_FALSE(tree.exists("usb/docs/bad.exe"));
    EXPECT_TRUE(tree.exists("usb/docs/inner/bad.exe"));
    EXPECT_TRUE(tree.exists("usb/bad.exe"));
    EXPECT_EQ(form->Label11, at("usb/docs"));
}

TEST_F(Launch, updateStartsTheUpdaterBesideTheProgram)
{
    load();
    form->Label12_Click();
    form->Image6_Click();
    const std::tuple<std::string, std::string, int> updater{at("usb/ombrix/update"), "", 0};
    EXPECT_EQ(launches, (std::vector<std::tuple<std::string, std::string, int>>{updater, updater}));
    EXPECT_TRUE(form->visible());
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(Launch, closingTheMainWindowCancelsAndItStaysClosed)
{
    load();
    choose("drive.1");
    form->Label6_Click();
    ASSERT_TRUE(form->visible());
    form->close();
    EXPECT_TRUE(form->scanWindow().canceled);
    EXPECT_FALSE(form->visible());
    EXPECT_EQ(view.log.back(), "hidden");
    // The scan window's next unload finds the main window gone for good.
    form->scanWindow().Form_Unload();
    EXPECT_FALSE(form->visible());
}

}  // namespace
}  // namespace ombrix
