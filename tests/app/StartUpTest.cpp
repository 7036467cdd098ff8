#include <gtest/gtest.h>

#include "ShellFixture.h"

namespace ombrix {
namespace {

using Road = frmMain::Road;
using Reads = std::vector<std::tuple<std::string, std::string, std::string>>;

class StartUp : public test::ShellFixture {};

TEST_F(StartUp, secondCopyEndsBeforeReadingAnything)
{
    anotherCopy = true;
    words = {"/scannow"};
    tree.file("usb/bad.exe", "x");
    const frmMain& main = load();
    EXPECT_EQ(road, Road::AnotherCopy);
    EXPECT_TRUE(settingReads.empty());
    EXPECT_TRUE(view.log.empty());
    EXPECT_TRUE(tree.exists("usb/bad.exe"));
    EXPECT_EQ(stored("", "Status"), "(absent)");
    EXPECT_FALSE(main.visible());
}

TEST_F(StartUp, scanNowScansTheProgramsDriveSilentlyWithTheStoredOptions)
{
    words = {"/scannow", "x=Software\\Test Keys"};
    settings[{"Software\\Test Keys", "AutoRepair"}] = "0";
    settings[{"Software\\Test Keys", "Scan All"}] = "2";
    tree.file("usb/docs/bad.exe", "x");
    tree.file("hd/bad.exe", "x");
    frmMain& main = load();

    EXPECT_EQ(road, Road::CommandLine);
    EXPECT_EQ(main.regpath, "Software\\Test Keys");
    const Reads optionsOnly = {
        {"Software\\Test Keys", "AutoRepair", "1"},
        {"Software\\Test Keys", "Scan SubFolders", "1"},
        {"Software\\Test Keys", "Scan All", "1"},
    };
    EXPECT_EQ(settingReads, optionsOnly);
    const frmScan& scan = main.scanWindow();
    EXPECT_EQ(scan.ScanSubFolders, 1);
    EXPECT_EQ(scan.ScanAll, 2);
    EXPECT_EQ(scan.AutoRepair, 0);
    // The close before the scan cancels; the cancel is cleared again.
    EXPECT_FALSE(scan.canceled);
    ASSERT_EQ(scan.findings().size(), 1u);
    EXPECT_EQ(shown(scan.findings()[0].FullPath), "/usb/docs/bad.exe");
    EXPECT_TRUE(tree.exists("usb/docs/bad.exe"));
    EXPECT_EQ(stored("Software\\Test Keys", "Found"), "2");
    EXPECT_EQ(stored("Software\\Test Keys", "Status"), "255");
    EXPECT_EQ(stored("", "Status"), "(absent)");
    EXPECT_TRUE(messages.texts.empty());
    EXPECT_TRUE(view.log.empty());
    EXPECT_FALSE(main.visible());
}

TEST_F(StartUp, scanNowWithNothingStoredRemovesWhatItFinds)
{
    words = {"/scannowly"};
    tree.file("usb/docs/deep/BAD.EXE", "x");
    tree.file("hd/bad.exe", "x");
    frmMain& main = load();
    EXPECT_EQ(road, Road::CommandLine);
    EXPECT_EQ(main.scanWindow().AutoRepair, 1);
    EXPECT_FALSE(tree.exists("usb/docs/deep/BAD.EXE"));
    EXPECT_TRUE(tree.exists("hd/bad.exe"));
    EXPECT_EQ(stored("", "UnabletoClean"), "0");
    EXPECT_EQ(stored("", "Status"), "65280");
    EXPECT_TRUE(messages.texts.empty());
}

TEST_F(StartUp, interactiveRoadWithNothingStored)
{
    tree.file("usb/bad.exe", "x");
    const frmMain& main = load();
    EXPECT_EQ(road, Road::Interactive);
    EXPECT_TRUE(main.visible());
    EXPECT_EQ(view.log, std::vector<std::string>{"shown"});
    EXPECT_EQ(main.regpath, "");
    EXPECT_EQ(main.Check1, 1);
    EXPECT_EQ(main.Check2, 1);
    EXPECT_EQ(main.Check3, 1);
    EXPECT_EQ(main.Label7, "Scanned:  ?");
    EXPECT_EQ(main.Label8, "Files Scanned:  ?");
    EXPECT_EQ(main.Label9, "Files Infected:  ?");
    EXPECT_EQ(shown(main.scanloc), "/usb/");
    EXPECT_EQ(main.Label11, main.scanloc);
    const Reads expected = {
        {"", "AutoRepair", "1"},        {"", "Scan SubFolders", "1"},  {"", "Scan All", "1"},
        {"", "Ombrix Last Check", "?"}, {"", "Ombrix FileCount", "?"}, {"", "Ombrix Found", "?"},
    };
    EXPECT_EQ(settingReads, expected);
    EXPECT_TRUE(tree.exists("usb/bad.exe"));
}

TEST_F(StartUp, interactiveRoadShowsStoredValuesAsTheyAre)
{
    words = {"/SCANNOW", "k=Software\\Partner"};
    settings[{"Software\\Partner", "Scan SubFolders"}] = "0";
    settings[{"Software\\Partner", "Scan All"}] = "yes";
    settings[{"Software\\Partner", "Ombrix Last Check"}] = "2005-08-12 14:03:09";
    settings[{"Software\\Partner", "Ombrix FileCount"}] = "012345";
    settings[{"Software\\Partner", "Ombrix Found"}] = "";
    settings[{"", "AutoRepair"}] = "0";
    const frmMain& main = load();
    EXPECT_EQ(road, Road::Interactive);
    EXPECT_EQ(main.Check1, 0);
    EXPECT_EQ(main.Check2, 1);
    EXPECT_EQ(main.Check3, 1);
    EXPECT_EQ(main.Label7, "Scanned:  2005-08-12 14:03:09");
    EXPECT_EQ(main.Label8, "Files Scanned:  012345");
    EXPECT_EQ(main.Label9, "Files Infected:  ");
}

TEST(OptionValue, storedTextToCheckBoxValue)
{
    const std::vector<std::pair<std::string, int>> cases = {
        {"0", 0},  {"1", 1},  {"2", 2},   {" 0 ", 0}, {"", 1},    {"-1", 1},
        {"7", 1},  {"off", 1}, {"00", 0}, {"0x", 1},  {"2 1", 1},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(OptionValue(text), value) << '"' << text << '"';
}

}  // namespace
}  // namespace ombrix
