#include <gtest/gtest.h>

#include <memory>

#include "FakeShellEnvironment.h"
#include "frmMain.h"

namespace ombrix {
namespace {

using Road = frmMain::Road;
using Reads = std::vector<std::tuple<std::string, std::string, std::string>>;

class StartUp : public ::testing::Test {
protected:
    frmMain& load()
    {
        form = std::make_unique<frmMain>(machine.make(), scanWindow);
        scanWindow.main = form.get();
        road = form->Form_Load();
        return *form;
    }

    test::FakeShellEnvironment machine;
    test::RecordingScanWindow scanWindow;
    std::unique_ptr<frmMain> form;
    Road road = Road::AnotherCopy;
};

TEST_F(StartUp, secondCopyEndsBeforeReadingAnything)
{
    machine.anotherCopy = true;
    machine.words = {"/scannow"};
    const frmMain& main = load();
    EXPECT_EQ(road, Road::AnotherCopy);
    EXPECT_TRUE(machine.settingReads.empty());
    EXPECT_TRUE(scanWindow.log.empty());
    EXPECT_FALSE(main.visible());
}

TEST_F(StartUp, scanNowScansTheProgramsDriveSilentlyWithStoredOptions)
{
    machine.words = {"/scannow", "x=Software\\Test Keys"};
    machine.settings[{"Software\\Test Keys", "AutoRepair"}] = "0";
    machine.settings[{"Software\\Test Keys", "Scan All"}] = "2";
    const frmMain& main = load();

    EXPECT_EQ(road, Road::CommandLine);
    EXPECT_EQ(main.regpath, "Software\\Test Keys");
    const Reads optionsOnly = {
        {"Software\\Test Keys", "AutoRepair", "1"},
        {"Software\\Test Keys", "Scan SubFolders", "1"},
        {"Software\\Test Keys", "Scan All", "1"},
    };
    EXPECT_EQ(machine.settingReads, optionsOnly);
    // The close that comes first cancels; the cancel is cleared before the scan.
    const std::vector<std::string> expected = {
        "canceled", "unload", "options 1 2 0", "not canceled", "scan /media/usb/ nomsg",
    };
    EXPECT_EQ(scanWindow.log, expected);
    EXPECT_FALSE(scanWindow.mainVisibleDuringScan);
    EXPECT_FALSE(main.visible());
    EXPECT_TRUE(main.TreeView1.entries().empty());
}

TEST_F(StartUp, scanNowWithAbsentOptionsScansWithEverythingOn)
{
    machine.words = {"/scannowly"};
    machine.programFolder = "/opt/ombrix";
    load();
    EXPECT_EQ(scanWindow.log.at(2), "options 1 1 1");
    EXPECT_EQ(scanWindow.log.at(4), "scan / nomsg");
}

TEST_F(StartUp, interactiveRoadWithNothingStored)
{
    const frmMain& main = load();
    EXPECT_EQ(road, Road::Interactive);
    EXPECT_TRUE(main.visible());
    EXPECT_EQ(main.regpath, "");
    EXPECT_EQ(main.Check1, 1);
    EXPECT_EQ(main.Check2, 1);
    EXPECT_EQ(main.Check3, 1);
    EXPECT_EQ(main.Label7, "Scanned:  ?");
    EXPECT_EQ(main.Label8, "Files Scanned:  ?");
    EXPECT_EQ(main.Label9, "Files Infected:  ?");
    EXPECT_EQ(main.scanloc, "/media/usb/");
    EXPECT_EQ(main.Label11, "/media/usb/");
    const Reads expected = {
        {"", "AutoRepair", "1"},        {"", "Scan SubFolders", "1"},  {"", "Scan All", "1"},
        {"", "Ombrix Last Check", "?"}, {"", "Ombrix FileCount", "?"}, {"", "Ombrix Found", "?"},
    };
    EXPECT_EQ(machine.settingReads, expected);
    EXPECT_TRUE(scanWindow.log.empty());
}

TEST_F(StartUp, interactiveRoadShowsStoredValuesAsTheyAre)
{
    machine.words = {"/SCANNOW", "k=Software\\Partner"};
    machine.settings[{"Software\\Partner", "Scan SubFolders"}] = "0";
    machine.settings[{"Software\\Partner", "Scan All"}] = "yes";
    machine.settings[{"Software\\Partner", "Ombrix Last Check"}] = "2005-08-12 14:03:09";
    machine.settings[{"Software\\Partner", "Ombrix FileCount"}] = "012345";
    machine.settings[{"Software\\Partner", "Ombrix Found"}] = "";
    machine.settings[{"", "AutoRepair"}] = "0";
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
        {"0", 0}, {"1", 1}, {"2", 2}, {" 0 ", 0}, {"", 1}, {"-1", 1}, {"7", 1}, {"off", 1}, {"00", 0}, {"0x", 1},
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(OptionValue(text), value) << '"' << text << '"';
}

}  // namespace
}  // namespace ombrix
