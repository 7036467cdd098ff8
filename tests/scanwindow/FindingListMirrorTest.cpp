#include "FindingListMirror.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "Fakes.h"

namespace ombrix::test {
namespace {

class FindingListMirrorTest : public ::testing::Test, public FormFixture {
protected:
    FindingListMirror mirror;
};

// Afresh when the run empties the list, then only what changed since the last catch-up.
TEST_F(FindingListMirrorTest, aCatchUpTellsWhatChanged)
{
    scanTwoFindings();
    FindingListMirror::Changes changes = mirror.catchUp(form);
    EXPECT_TRUE(changes.restarted);
    EXPECT_EQ(changes.firstNewRow, 0u);
    EXPECT_EQ(mirror.shownRows(), 2u);

    std::filesystem::remove(row(2).FullPath);
    form.mnuDeletethisFile_Click();
    ASSERT_EQ(row(2).IconKey, "greenbug");
    changes = mirror.catchUp(form);
    EXPECT_FALSE(changes.restarted);
    EXPECT_EQ(changes.changedRows, std::vector<std::size_t>{1});
    EXPECT_EQ(changes.firstNewRow, 2u);
    EXPECT_TRUE(mirror.catchUp(form).changedRows.empty());

    form.Form_Unload();
    form.load();
    EXPECT_TRUE(mirror.catchUp(form).restarted);
    EXPECT_EQ(mirror.shownRows(), 0u);
}

}  // namespace
}  // namespace ombrix::test
