#include <gtest/gtest.h>

#include "EntryTexts.h"
#include "Fakes.h"

namespace ombrix::test {
namespace {

using quarantine::Outcome;
using Column = QuarantineColumn;

class Form : public ::testing::Test, public QuarantineFixture {
protected:
    Form()
    {
        world.add("old", "/home/u/Downloads/setup.exe", 1536, 120, "Worm.B");
        world.add("new", "/home/u/a b/Bad.exe", 200, 5);
        world.add("mid", "/srv/x.dll", 3 * 1024 * 1024, 60, "adware.C");
        form.refresh();
    }
};

TEST_F(Form, listsNewestFirstWithNameFolderThreatDateAndSize)
{
    EXPECT_EQ(column(Column::Name), (std::vector<std::string>{"Bad.exe", "x.dll", "setup.exe"}));
    EXPECT_EQ(column(Column::Folder), (std::vector<std::string>{"/home/u/a b/", "/srv/", "/home/u/Downloads/"}));
    EXPECT_EQ(column(Column::Threat), (std::vector<std::string>{"Trojan.A", "adware.C", "Worm.B"}));
    EXPECT_EQ(column(Column::Date),
              (std::vector<std::string>{"2026-12-06 11:55:00", "2026-12-06 11:00:00", "2026-12-06 10:00:00"}));
    EXPECT_EQ(column(Column::Size), (std::vector<std::string>{"200 bytes", "3 MB", "1.5 KB"}));
    EXPECT_EQ(form.statusText(), "3 files in quarantine, 3 MB.");
    EXPECT_FALSE(form.enabled(QuarantineControl::Command1)) << "nothing selected yet";

    world.entries.resize(1);
    form.refresh();
    EXPECT_EQ(form.statusText(), "1 file in quarantine, 1.5 KB.");
    world.entries.clear();
    form.refresh();
    EXPECT_TRUE(form.rows().empty());
    EXPECT_EQ(form.statusText(), "The quarantine is empty.");
    EXPECT_FALSE(form.keyPressed(FormKey::Menu)) << "no menu over an empty list";
}

TEST(EntryTexts, sizesReadAsPeopleReadThem)
{
    const std::vector<std::pair<std::uint64_t, const char*>> cases = {
        {0, "0 bytes"},        {1, "1 byte"},         {1023, "1023 bytes"}, {1024, "1 KB"},
        {1536, "1.5 KB"},      {10 * 1024, "10 KB"},  {1048063, "1023 KB"}, {1048535, "1 MB"},    {5 * 1024 * 1024 + 1, "5 MB"},
        {1ULL << 40, "1 TB"}, {(1ULL << 50) * 3000, "3000 PB"},
    };
    for (const auto& [bytes, text] : cases)
        EXPECT_EQ(sizeText(bytes), text) << bytes;
    EXPECT_EQ(fileNameOf(native("/a/b c")), "b c");
    EXPECT_EQ(fileNameOf("plain"), "plain");
}

// A header click sorts by its column; a second click turns the order round.
TEST_F(Form, headersSortAndTurnTheOrderRoundKeepingTheSelection)
{
    form.select(rowOf("old"), true);
    const std::vector<std::pair<Column, std::vector<std::string>>> clicks = {
        {Column::Name, {"new", "old", "mid"}},      // Bad.exe, setup.exe, x.dll: letter case aside
        {Column::Name, {"mid", "old", "new"}},
        {Column::Size, {"mid", "old", "new"}},      // largest first
        {Column::Threat, {"mid", "new", "old"}},
        {Column::Folder, {"new", "old", "mid"}},
        {Column::Date, {"new", "mid", "old"}},      // newest first
        {Column::Date, {"old", "mid", "new"}},
    };
    for (const auto& [column, ids] : clicks) {
        form.sortBy(column);
        std::vector<std::string> shown;
        for (const QuarantineRow& row : form.rows())
            shown.push_back(row.entry.id);
        EXPECT_EQ(shown, ids) << static_cast<int>(column);
        EXPECT_TRUE(form.isSelected(rowOf("old")));
        EXPECT_EQ(form.selectedCount(), 1u);
    }
}

// What the user is asked and what the quarantine is told, for each answer it gives.
TEST_F(Form, restoreAsksWhereWhenThePathIsTakenAndOffersToMakeTheFolder)
{
    struct Case {
        const char* name;
        std::deque<Outcome> outcomes;
        std::deque<bool> confirmations;
        std::deque<std::optional<std::string>> savePaths;
        Log expected;
    };
    const std::string missing = "confirm The folder \"/home/u/a b/\" no longer exists. Create it again and "
                                "restore \"Bad.exe\" there?";
    const std::vector<Case> cases = {
        {"restored", {}, {}, {}, {"restore new"}},
        {"gone meanwhile", {Outcome::NoSuchEntry}, {}, {}, {"restore new"}},
        {"path taken, saved elsewhere",
         {Outcome::PathTaken},
         {},
         {"/tmp/Bad (2).exe"},
         {"restore new", "save as: Restore \"Bad.exe\" as [/home/u/a b/Bad.exe]", "restore new to /tmp/Bad (2).exe"}},
        {"path taken twice, then cancelled",
         {Outcome::PathTaken, Outcome::PathTaken},
         {},
         {"/tmp/Bad.exe", std::nullopt},
         {"restore new", "save as: Restore \"Bad.exe\" as [/home/u/a b/Bad.exe]", "restore new to /tmp/Bad.exe",
          "save as: Restore \"Bad.exe\" as [/tmp/Bad.exe]"}},
        {"folder missing, made again", {Outcome::NoParent}, {true}, {}, {"restore new", missing,
                                                                         "restore new making folders"}},
        {"folder missing, left", {Outcome::NoParent}, {false}, {}, {"restore new", missing}},
        {"folder cannot be made",
         {Outcome::NoParent, Outcome::NoParent},
         {true},
         {},
         {"restore new", missing, "restore new making folders",
          "message \"Bad.exe\" could not be restored: the folder \"/home/u/a b/\" could not be made."}},
        {"failed", {Outcome::Failed}, {}, {}, {"restore new", "message \"Bad.exe\" could not be restored: Permission denied"}},
    };
    for (const Case& c : cases) {
        world.forget("new");
        world.log.clear();
        world.outcomes["new"] = c.outcomes;
        world.confirmations = c.confirmations;
        world.savePaths = c.savePaths;
        world.add("new", "/home/u/a b/Bad.exe", 200, 5);
        form.refresh();
        selectOnly({"new"});
        form.click(QuarantineControl::Command1);
        EXPECT_EQ(world.log, c.expected) << c.name;
        const bool restored = c.expected.back().starts_with("restore");
        EXPECT_EQ(form.rows().size(), restored ? 2u : 3u) << c.name << ": the list was read again";
    }
}

// Several selected rows are restored in the order shown; each is asked about on its own.
TEST_F(Form, severalRowsAreRestoredOneByOneAndTheRestStaySelected)
{
    world.outcomes["mid"] = {Outcome::PathTaken};
    selectOnly({"new", "mid"});
    form.click(QuarantineControl::Command1);
    EXPECT_EQ(world.log, (Log{"restore new", "restore mid", "save as: Restore \"x.dll\" as [/srv/x.dll]"}));
    ASSERT_EQ(form.rows().size(), 2u);
    EXPECT_TRUE(form.isSelected(rowOf("mid"))) << "a file left in quarantine stays selected";
    EXPECT_FALSE(form.isSelected(rowOf("old")));
    EXPECT_EQ(form.statusText(), "2 files in quarantine, 3 MB.");
}

TEST_F(Form, deleteIsFinalSoItAsksFirst)
{
    selectOnly({"old"});
    world.confirmations = {false};
    EXPECT_FALSE(form.keyPressed(FormKey::Delete));
    EXPECT_EQ(world.log, (Log{"confirm Delete \"setup.exe\" for good? It cannot be restored afterwards."}));
    EXPECT_EQ(form.rows().size(), 3u);

    world.log.clear();
    world.undeletable = {"mid"};
    world.confirmations = {true};
    selectOnly({"old", "mid", "new"});
    form.click(QuarantineControl::Command2);
    EXPECT_EQ(world.log, (Log{"confirm Delete 3 files for good? They cannot be restored afterwards.", "delete new",
                              "delete mid", "message \"x.dll\" could not be deleted: Read-only file system",
                              "delete old"}));
    ASSERT_EQ(form.rows().size(), 1u);
    EXPECT_EQ(form.selectedCount(), 1u);
}

// The keyboard: Enter restores, the menu key selects the row it is on, Open
// Folder opens the folder of that row when it is selected.
TEST_F(Form, keysAndTheMenuActOnTheRowTheKeyboardIsOn)
{
    EXPECT_FALSE(form.keyPressed(FormKey::Enter));
    EXPECT_TRUE(world.log.empty()) << "nothing selected: nothing restored";
    EXPECT_FALSE(form.menuRequested());

    selectOnly({"new"});
    form.setCurrentRow(rowOf("old"));
    EXPECT_TRUE(form.keyPressed(FormKey::Menu));
    EXPECT_TRUE(form.isSelected(rowOf("old")));
    EXPECT_TRUE(form.isSelected(rowOf("new"))) << "the other selected rows stay";
    form.click(QuarantineControl::Command3);
    selectOnly({"mid", "new"});
    form.click(QuarantineControl::Command3);
    EXPECT_EQ(world.log, (Log{"open /home/u/Downloads/", "open /home/u/a b/"}))
        << "without the current row, the first selected row's folder";

    world.log.clear();
    world.add("later", "/x/later.exe", 1, 0);
    form.keyPressed(FormKey::Refresh);
    EXPECT_EQ(form.rows().front().entry.id, "later");
    form.keyPressed(FormKey::Enter);
    EXPECT_EQ(world.log, (Log{"restore new", "restore mid"}));
}

}  // namespace
}  // namespace ombrix::test
