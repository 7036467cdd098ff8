#include <windows.h>

#include "EngineFixture.h"
#include "FolderAccess.h"

// Paths past MAX_PATH and the errors that tell a folder or file gone.
namespace ombrix::test {
namespace {

using mFileSearch::Counts;

TEST_F(WalkTest, aPathLongerThanMaxPathIsFoundRemovedAndTurnsGreen)
{
    const std::string name(100, 'n');
    const std::string deep = "scan/" + name + "/" + name + "/" + name;
    tree.file(deep + "/bad.exe");
    const std::string found = tree.path(deep + "/bad.exe");
    ASSERT_GT(found.size(), std::size_t(MAX_PATH));

    walk();
    ASSERT_EQ(window.rows.size(), 1u);
    EXPECT_EQ(window.rows[0].fullPath, found);
    EXPECT_EQ(window.rows[0].iconKey, "redbug");
    EXPECT_TRUE(mFileSearch::FileExists(found));
    EXPECT_EQ(Counts().Dirs, 4);

    window = RecordingWindow();
    window.autoRepairOption = 1;
    walk();
    ASSERT_EQ(window.rows.size(), 1u);
    EXPECT_EQ(window.rows[0].iconKey, "greenbug");
    EXPECT_FALSE(tree.exists(deep + "/bad.exe"));
    EXPECT_FALSE(mFileSearch::FileExists(found));
    EXPECT_EQ(window.visitedFolders.back(), tree.path(deep));
}

// Why a folder could not be opened decides how its passing over is reported.
TEST(PassedOverTest, openErrorsTellAVanishedFolderATooDeepOneAndOneThatCouldNotBeListed)
{
    const struct {
        DWORD error;
        PassedOver::Reason reason;
    } cases[] = {
        {ERROR_FILE_NOT_FOUND, PassedOver::Reason::Vanished},
        {ERROR_PATH_NOT_FOUND, PassedOver::Reason::Vanished},
        {ERROR_DIRECTORY, PassedOver::Reason::Vanished},
        {ERROR_FILENAME_EXCED_RANGE, PassedOver::Reason::TooDeep},
        {ERROR_ACCESS_DENIED, PassedOver::Reason::CouldNotList},
        {ERROR_NOT_READY, PassedOver::Reason::CouldNotList},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ReasonOfOpenError(int(c.error)), c.reason) << "error " << c.error;
    EXPECT_EQ(ErrorName(ERROR_ACCESS_DENIED), "ERROR_ACCESS_DENIED");
    EXPECT_EQ(ErrorName(1117), "1117");
}

// Only an error that says the entry or a folder on its way is not there proves a
// file gone; one that says it cannot be looked at proves nothing. Wine opens a
// file for its attributes even under a DACL that denies everyone everything, so
// no folder can be made unreadable here: the errors are checked one by one.
TEST(FileExistsTest, onlyErrorsThatSayNothingIsThereProveAFileGone)
{
    const struct {
        DWORD error;
        bool gone;
    } cases[] = {
        {ERROR_FILE_NOT_FOUND, true},       {ERROR_PATH_NOT_FOUND, true},     {ERROR_INVALID_DRIVE, true},
        {ERROR_DIRECTORY, true},            {ERROR_ACCESS_DENIED, false},     {ERROR_SHARING_VIOLATION, false},
        {ERROR_LOCK_VIOLATION, false},      {ERROR_NOT_READY, false},         {ERROR_BAD_NETPATH, false},
        {ERROR_NETNAME_DELETED, false},     {ERROR_TOO_MANY_OPEN_FILES, false}, {ERROR_NOT_ENOUGH_MEMORY, false},
        {ERROR_INVALID_NAME, false},        {ERROR_CANT_ACCESS_FILE, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(folder::provesGone(c.error), c.gone) << "error " << c.error;
}

TEST_F(WalkTest, aFileIsGoneWhenItOrAFolderOnItsWayIsMissing)
{
    tree.file("scan/sub/bad.exe");
    tree.file("scan/file");
    walk();
    EXPECT_TRUE(mFileSearch::FileExists(tree.path("scan/sub/bad.exe")));
    EXPECT_FALSE(mFileSearch::FileExists(tree.path("scan/sub/missing.exe")));
    EXPECT_FALSE(mFileSearch::FileExists(tree.path("scan/missing/bad.exe")));
    EXPECT_FALSE(mFileSearch::FileExists(tree.path("scan/file/bad.exe")));
    EXPECT_FALSE(mFileSearch::FileExists(tree.path("scan/sub")));
}

}  // namespace
}  // namespace ombrix::test
