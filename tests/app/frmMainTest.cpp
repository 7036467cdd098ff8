#include "frmMain.h"

#include <gtest/gtest.h>

#include "ShellFixture.h"
#include "mRegistry.h"

namespace ombrix {
namespace {

using Road = frmMain::Road;
using Texts = std::vector<std::string>;

class StartUp : public test::ShellFixture {
protected:
    // The check boxes and statistics labels as the user sees them.
    Texts shownValues() const
    {
        return {std::to_string(form->Check1), std::to_string(form->Check2), std::to_string(form->Check3),
                form->Label7, form->Label8, form->Label9};
    }
};

TEST_F(StartUp, secondCopyEndsBeforeReadingAnything)
{
    anotherCopy = true;
    words = {"/scannow"};
    tree.file("usb/bad.exe", "x");
    EXPECT_FALSE(load().visible());
    EXPECT_EQ(road, Road::AnotherCopy);
    EXPECT_EQ(settingReads, 0);
    EXPECT_TRUE(user.log.empty());
    EXPECT_TRUE(tree.exists("usb/bad.exe"));
}

TEST_F(StartUp, scanNowScansTheProgramsDriveSilentlyWithTheStoredOptions)
{
    words = {"/scannow", "x=Software\\Test Keys"};
    settings[{"Software\\Test Keys", "AutoRepair"}] = "\t+0 ";
    settings[{"Software\\Test Keys", "Scan All"}] = "2.0";
    tree.file("usb/docs/bad.exe", "x");
    tree.file("hd/bad.exe", "x");
    EXPECT_FALSE(load().visible());
    EXPECT_EQ(road, Road::CommandLine);
    const frmScan& scan = form->scanWindow();
    EXPECT_EQ((std::vector<int>{scan.ScanSubFolders, scan.ScanAll, scan.AutoRepair}), (std::vector<int>{1, 2, 0}));
    // The close before the scan cancels; the cancel is cleared again.
    EXPECT_FALSE(scan.canceled);
    ASSERT_EQ(scan.findings().size(), 1u);
    EXPECT_EQ(shown(scan.findings()[0].FullPath), "/usb/docs/bad.exe");
    EXPECT_TRUE(tree.exists("usb/docs/bad.exe"));
    EXPECT_EQ(mRegistry::ReadRegString(mRegistry::HKEY_CURRENT_USER, "Software\\Test Keys", "Status", ""), "255");
    EXPECT_TRUE(user.log.empty());
}

// Nothing stored shows ticks and question marks; stored texts show as they are.
// "/SCANNOW" is no switch, but the second word still names the key path.
TEST_F(StartUp, interactiveRoadShowsTheStoredValuesAndSelectsTheProgramsDrive)
{
    tree.file("usb/bad.exe", "x");
    load();
    EXPECT_EQ(road, Road::Interactive);
    EXPECT_EQ(user.log, Texts{"shown"});
    EXPECT_EQ(shownValues(), (Texts{"1", "1", "1", "Scanned:  ?", "Files Scanned:  ?", "Files Infected:  ?"}));
    EXPECT_EQ(shown(form->scanloc), "/usb/");
    EXPECT_EQ(form->Label11, form->scanloc);
    EXPECT_TRUE(tree.exists("usb/bad.exe"));

    words = {"/SCANNOW", "k=Software\\Partner"};
    const std::pair<const char*, const char*> stored[] = {
        {"Scan SubFolders", "0"}, {"Scan All", "yes"}, {"AutoRepair", "2"}, {"Ombrix Last Check", "2005-08-12 14:03:09"},
        {"Ombrix FileCount", "012345"}, {"Ombrix Found", ""}};
    for (const auto& [name, text] : stored)
        settings[{"Software\\Partner", name}] = text;
    settings[{"", "Scan All"}] = "0";
    load();
    EXPECT_EQ(road, Road::Interactive);
    EXPECT_EQ(shownValues(), (Texts{"0", "1", "2", "Scanned:  2005-08-12 14:03:09", "Files Scanned:  012345",
                                    "Files Infected:  "}));
}

// One rule for both roads: a text that reads as the number zero is off.
TEST(OptionValue, storedTextToCheckBoxValue)
{
    const std::vector<std::pair<std::string, int>> cases = {
        {"0", 0}, {" 0 ", 0}, {"\t0\t", 0}, {"0\r\n", 0}, {"00", 0}, {"+0", 0}, {"-0", 0}, {".0", 0}, {"0.", 0},
        {"-00.000", 0}, {"2", 2}, {"+2", 2}, {" 02 ", 2}, {"2.0", 2}, {"1", 1}, {"", 1}, {" ", 1}, {"-1", 1},
        {"-2", 1}, {"2.5", 1}, {"7", 1}, {"0.01", 1}, {"off", 1}, {"0x0", 1}, {"0e0", 1}, {"0 0", 1}, {".", 1},
        {"+", 1}, {"- 0", 1}, {"0..0", 1}, {"--0", 1},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(OptionValue(text), value) << '"' << text << '"';
}

class Tree : public test::ShellFixture {
protected:
    // The entries from `first` on as the user sees them: key, text, pictures, tag, parent, expanded.
    Texts describeFrom(std::size_t first) const
    {
        Texts lines;
        const auto& entries = form->TreeView1.entries();
        for (auto e = entries.begin() + static_cast<std::ptrdiff_t>(first); e != entries.end(); ++e) {
            lines.push_back(e->key + " | " + shown(e->text) + " | " + e->image + '/' + e->selectedImage + " | " +
                            shown(e->tag) + " | " + e->parentKey + (e->expanded ? " | open" : ""));
        }
        return lines;
    }
};

TEST_F(Tree, startUpListsEveryDriveUnderTheRootAndSelectsTheProgramsDrive)
{
    load();
    const Texts expected = {
        "mycomputer | My Computer | mycomputer/ | MyComputer |  | open",
        "drive.0 | /cd/ | cdrom/ | /cd/ | mycomputer",
        "drive.1 | /hd/ | harddrive/ | /hd/ | mycomputer",
        "drive.2 | /overlay/ | unknown/ | /overlay/ | mycomputer",
        "drive.3 | /ram/ | unknown/ | /ram/ | mycomputer",
        "drive.4 | /share/ | networkdrive/ | /share/ | mycomputer",
        "drive.5 | /usb/ | floppy/ | /usb/ | mycomputer",
    };
    EXPECT_EQ(describeFrom(0), expected);
    ASSERT_TRUE(form->TreeView1.selected());
    EXPECT_EQ(form->TreeView1.selected()->key, "drive.5");

    drives.clear();
    EXPECT_EQ(load().TreeView1.entries().size(), 1u);
    EXPECT_EQ(form->TreeView1.selected(), nullptr);
}

// A double click chooses the entry and loads its subfolders once; the root
// entry and a folder without subfolders stay as they are.
TEST_F(Tree, doubleClickChoosesAndLoadsSubfoldersOnce)
{
    subfolders[at("usb/")] = {at("usb/Program Files"), at("usb/WINDOWS")};
    subfolders[at("usb/WINDOWS")] = {at("usb/WINDOWS/system")};
    load();
    user.log.clear();
    Texts chosen;
    for (const char* key : {"drive.5", "drive.5.1", "mycomputer", "drive.5.0", "drive.5"}) {
        form->TreeView1.select(key);
        form->TreeView1_DblClick();
        chosen.push_back(shown(form->scanloc));
    }
    EXPECT_EQ(chosen, (Texts{"/usb/", "/usb/WINDOWS", "/usb/WINDOWS", "/usb/Program Files", "/usb/"}));
    EXPECT_EQ(form->Label11, form->scanloc);
    EXPECT_EQ(user.log, (Texts{"list /usb/", "list /usb/WINDOWS", "list /usb/Program Files", "list /usb/"}));
    const Texts expected = {
        "drive.5 | /usb/ | floppy/ | /usb/ | mycomputer | open",
        "drive.5.0 | Program Files | closedfolder/openfolder | /usb/Program Files | drive.5",
        "drive.5.1 | WINDOWS | closedfolder/openfolder | /usb/WINDOWS | drive.5 | open",
        "drive.5.1.0 | system | closedfolder/openfolder | /usb/WINDOWS/system | drive.5.1",
    };
    EXPECT_EQ(describeFrom(6), expected);
}

class Launch : public test::ShellFixture {};

TEST_F(Launch, scanScansTheChosenFolderWithTheCheckBoxesOfTheMoment)
{
    tree.file("usb/docs/bad.exe", "x");
    tree.file("usb/docs/inner/bad.exe", "x");
    tree.file("usb/bad.exe", "x");
    subfolders[at("usb/")] = {at("usb/docs")};
    load();
    choose("drive.5");
    form->TreeView1_DblClick();
    choose("drive.5.0");
    form->Check1 = 0;
    form->Check2 = 2;
    user.log.clear();
    form->Label6_Click();

    const frmScan& scan = form->scanWindow();
    EXPECT_EQ((std::vector<int>{scan.ScanSubFolders, scan.ScanAll, scan.AutoRepair}), (std::vector<int>{0, 2, 1}));
    ASSERT_EQ(scan.findings().size(), 1u);
    EXPECT_EQ(shown(scan.findings()[0].FullPath), "/usb/docs/bad.exe");
    EXPECT_FALSE(tree.exists("usb/docs/bad.exe"));
    // The scan window stays with its findings; closing it brings the main window back.
    EXPECT_FALSE(form->visible());
    form->scanWindow().Command1_Click();
    // A clean scan, from the icon, brings the main window back at once.
    choose("drive.0");
    form->Image3_Click();
    const Texts expected = {
        "scan window shown", "caption Varno Ombrix - Scanning:  " + at("usb/docs"), "hidden",
        "message Scan Complete - Problems were found!", "shown",
        "scan window shown", "caption Varno Ombrix - Scanning:  " + at("cd/"), "hidden",
        "message Scan Complete - Your Clean", "shown"};
    EXPECT_EQ(user.log, expected);
}

}  // namespace
}  // namespace ombrix
