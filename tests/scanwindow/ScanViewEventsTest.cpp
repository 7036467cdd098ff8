#include "ScanViewEvents.h"

#include <gtest/gtest.h>

#include <vector>

#include "Fakes.h"

namespace ombrix::test {
namespace {

class ScanViewEventsTest : public ::testing::Test, public FormFixture {
protected:
    // Two findings; the user leaves `selected` (rows from 0) selected, in that order.
    void findings(const std::vector<int>& selected)
    {
        scanTwoFindings();
        for (int row : {0, 1})
            events.rowSelected(row, false);
        for (int row : selected)
            events.rowSelected(row, true);
    }

    std::vector<bool> selection() const { return {row(1).Selected, row(2).Selected}; }

    ScanViewEvents events{form};
};

// Enter presses the focused button; Esc is the button's key wherever the keyboard is.
TEST_F(ScanViewEventsTest, enterOnTheButtonAndEscapeAnywherePressIt)
{
    const struct {
        const char* focus;
        FormKey key;
        bool pressed;
    } cases[] = {
        {"Command1", FormKey::Enter, true},  {"ListView1", FormKey::Escape, true}, {"", FormKey::Escape, true},
        {"ListView1", FormKey::Enter, false}, {"Command1", FormKey::Delete, false},
    };
    scanTwoFindings();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.focus);
        world.log.clear();
        EXPECT_EQ(events.key(c.focus, c.key), c.pressed);
        // After the run the button is Close.
        EXPECT_EQ(world.log, c.pressed ? (Log{"hide", "show main"}) : Log());
    }
}

TEST_F(ScanViewEventsTest, onlyTheUsersSelectionReachesTheForm)
{
    findings({0, 1});
    {
        const ScanViewEvents::ShowingForm showing(events);
        events.rowSelected(0, false);
    }
    events.rowSelected(-1, false);
    events.rowSelected(2, false);
    EXPECT_EQ(selection(), (std::vector<bool>{true, true}));
    EXPECT_EQ(form.selectedRow(), 2u);
    events.rowSelected(0, true);
    EXPECT_EQ(form.selectedRow(), 1u) << "the row selected last is the menu's";
}

// The keyboard's menu opens for the current row, made the selection when it
// was not, as a right press does; without a current row, for the row selected last.
TEST_F(ScanViewEventsTest, theMenuKeyOpensForTheCurrentRow)
{
    const struct {
        const char* what;
        std::vector<int> selected;
        int current;
        int at;
        std::vector<bool> after;
        std::size_t menuRow;
    } cases[] = {
        {"selected current row", {0, 1}, 0, 0, {true, true}, 1},
        {"unselected current row", {0}, 1, 1, {false, true}, 2},
        {"no current row", {1, 0}, -1, 0, {true, true}, 1},
        {"nothing at all", {}, -1, -1, {false, false}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        findings(c.selected);
        const bool currentSelected = c.current >= 0 && selection()[static_cast<std::size_t>(c.current)];
        const int at = events.menuKey(c.current, currentSelected, [this](int only) {
            for (int row : {0, 1})
                events.rowSelected(row, row == only);
        });
        EXPECT_EQ(at, c.at);
        EXPECT_EQ(selection(), c.after);
        EXPECT_EQ(form.selectedRow(), c.menuRow);
    }
}

}  // namespace
}  // namespace ombrix::test
