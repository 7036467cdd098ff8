#include "MainViewEvents.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "frmMain.h"

namespace ombrix {
namespace {

// The main window before any scan, its tree holding "My Computer" (chosen)
// and one drive; what it asks of the world goes into one log.
class MainViewEventsTest : public ::testing::Test, public MessageBox, public FileManager {
protected:
    MainViewEventsTest()
    {
        form.TreeView1.add({}, "mycomputer", "My Computer", "mycomputer")->tag = std::string("MyComputer");
        form.TreeView1.add("mycomputer", "drive.0", "D", "floppy")->tag = std::string("D");
        events.treeSelected("mycomputer");
        form.Check1 = 1;
        form.Check3 = 2;
    }

    void show(const std::string& text) override { log.push_back("message " + text); }
    void open(const std::string& folder) override { log.push_back("open " + folder); }

    MainEnvironment environment()
    {
        MainEnvironment environment;
        environment.programFolder = "ombrix";
        environment.listSubfolders = [this](const std::string& folder) {
            log.push_back("list " + folder);
            return std::vector<std::string>{};
        };
        environment.launch = [this](const std::string&, const std::string&, int) { log.push_back("launch"); };
        return environment;
    }

    std::vector<int> options() const { return {events.option("Check1"), events.option("Check2"), events.option("Check3")}; }

    std::vector<std::string> log;
    frmMain form{environment(), *this, *this};
    MainViewEvents events{form};
};

// A box toggles between ticked and cleared (grey comes only from the store), an
// option's text stands for its box, and a link and its icon run their handlers.
TEST_F(MainViewEventsTest, clicksActAsTheFormDescriptionSays)
{
    const std::string select = "message Please select a drive to scan";
    const struct {
        std::vector<const char*> clicks;
        std::vector<int> options;
        std::vector<std::string> log;
    } cases[] = {
        {{"Check3"}, {1, 0, 1}, {}},
        {{"Check3", "Check3", "Check1"}, {0, 0, 0}, {}},
        {{"Label1", "Label2", "Label4"}, {0, 1, 1}, {}},
        {{"Label3", "Label5", "Label5"}, {1, 1, 0}, {}},
        {{"Label6", "Image3", "Label12", "Image6"}, {1, 0, 2}, {select, select, "launch", "launch"}},
        {{"Label10", "Label7", "Shape1", "Image1", "NoSuchControl"}, {1, 0, 2}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.clicks.front());
        form.Check1 = 1;
        form.Check2 = 0;
        form.Check3 = 2;
        log.clear();
        for (const char* name : c.clicks)
            events.click(name);
        EXPECT_EQ(options(), c.options);
        EXPECT_EQ(log, c.log);
    }
}

// Enter on a tree entry does what a double click does; on a link, what a click does.
TEST_F(MainViewEventsTest, enterActsOnTheTreeAndTheLinks)
{
    const struct {
        const char* focus;
        FormKey key;
        bool handled;
        std::vector<std::string> log;
    } cases[] = {
        {"TreeView1", FormKey::Enter, true, {"list D"}},    {"Label12", FormKey::Enter, true, {"launch"}},
        {"Check1", FormKey::Enter, false, {}},             {"TreeView1", FormKey::Escape, false, {}},
        {"Image6", FormKey::Enter, false, {}},             {"", FormKey::Enter, false, {}},
    };
    events.treeSelected("drive.0");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.focus);
        log.clear();
        EXPECT_EQ(events.key(c.focus, c.key), c.handled);
        EXPECT_EQ(log, c.log);
    }
    EXPECT_EQ(events.option("Check1"), 1) << "Enter on a box leaves it";
}

TEST_F(MainViewEventsTest, theTreeSetsWhatTheNextScanCovers)
{
    events.treeSelected("drive.0");
    EXPECT_EQ(form.scanloc, "D");
    EXPECT_EQ(events.value("Label11"), "D");
    events.treeExpanded("drive.0", true);
    events.treeExpanded("mycomputer", false);
    EXPECT_TRUE(form.TreeView1.find("drive.0")->expanded);
    EXPECT_FALSE(form.TreeView1.find("mycomputer")->expanded);
    EXPECT_EQ(events.value("Label9"), "Files Infected:");
}

}  // namespace
}  // namespace ombrix
