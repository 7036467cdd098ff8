#include <gtest/gtest.h>

#include <memory>

#include "FakeShellEnvironment.h"
#include "frmMain.h"

namespace ombrix {
namespace {

class Launch : public ::testing::Test {
protected:
    void SetUp() override
    {
        form = std::make_unique<frmMain>(machine.make(), scanWindow);
        scanWindow.main = form.get();
        form->Form_Load();
    }

    test::FakeShellEnvironment machine;
    test::RecordingScanWindow scanWindow;
    std::unique_ptr<frmMain> form;
};

TEST_F(Launch, rootEntryIsRefused)
{
    form->TreeView1.select("mycomputer");
    form->TreeView1_Click();
    form->Label6_Click();
    EXPECT_EQ(machine.messages, std::vector<std::string>{"Please select a drive to scan"});
    EXPECT_TRUE(scanWindow.log.empty());
    EXPECT_TRUE(form->visible());
}

TEST_F(Launch, scanUsesTheCheckBoxesAtTheMomentOfTheClick)
{
    form->TreeView1.select("drive.0");
    form->TreeView1_Click();
    form->Check2 = 0;
    form->Check3 = 0;
    form->Label6_Click();
    const std::vector<std::string> expected = {
        "show", "options 1 0 0", "not canceled", "caption Varno Ombrix - Scanning:  /", "scan /",
    };
    EXPECT_EQ(scanWindow.log, expected);
    EXPECT_FALSE(scanWindow.mainVisibleDuringScan);
    EXPECT_FALSE(form->visible());
    EXPECT_TRUE(machine.messages.empty());
}

TEST_F(Launch, scanIconActsAsTheScanLink)
{
    machine.folders["/media/usb/"] = {"/media/usb/docs"};
    form->TreeView1.select("drive.2");
    form->TreeView1_DblClick();
    form->TreeView1.select("drive.2.0");
    form->TreeView1_Click();
    form->Check1 = 2;
    form->Image3_Click();
    const std::vector<std::string> expected = {
        "show", "options 2 1 1", "not canceled", "caption Varno Ombrix - Scanning:  /media/usb/docs",
        "scan /media/usb/docs",
    };
    EXPECT_EQ(scanWindow.log, expected);
    EXPECT_EQ(form->Label11, "/media/usb/docs");
}

TEST_F(Launch, updateStartsTheUpdaterBesideTheProgram)
{
    form->Label12_Click();
    form->Image6_Click();
    const std::tuple<std::string, std::string, int> updater{"/media/usb/ombrix/update", "", 0};
    EXPECT_EQ(machine.launches, (std::vector<std::tuple<std::string, std::string, int>>{updater, updater}));
    EXPECT_TRUE(form->visible());
    EXPECT_TRUE(machine.messages.empty());
}

TEST_F(Launch, closingTheMainWindowCancelsAndClosesTheScanWindow)
{
    form->close();
    EXPECT_EQ(scanWindow.log, (std::vector<std::string>{"canceled", "unload"}));
    EXPECT_FALSE(form->visible());
    EXPECT_EQ(form->regpath, "");
}

}  // namespace
}  // namespace ombrix
