#include <windows.h>
#include <winioctl.h>

#include "EngineFixture.h"
#include "FolderAccess.h"

// Reparse points and paths past MAX_PATH.
namespace ombrix::test {
namespace {

using mFileSearch::Counts;

// Makes `link` a junction to `target`; false where the system cannot (Wine 8).
bool makeJunction(const std::string& link, const std::string& target)
{
    if (!CreateDirectoryA(link.c_str(), nullptr))
        return false;
    const HANDLE folder = CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    const std::wstring substitute = L"\\??\\" + ombrix::wide(target);
    const std::wstring shown = ombrix::wide(target);
    struct MountPoint {
        DWORD tag;
        WORD dataLength;
        WORD reserved;
        WORD substituteOffset, substituteLength, printOffset, printLength;
        WCHAR paths[1024];
    } data{};
    data.tag = IO_REPARSE_TAG_MOUNT_POINT;
    data.substituteLength = WORD(substitute.size() * 2);
    data.printOffset = WORD(data.substituteLength + 2);
    data.printLength = WORD(shown.size() * 2);
    substitute.copy(data.paths, substitute.size());
    shown.copy(data.paths + substitute.size() + 1, shown.size());
    data.dataLength = WORD(8 + data.printOffset + data.printLength + 2);
    DWORD returned = 0;
    const bool made = DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, &data, data.dataLength + 8, nullptr, 0,
                                      &returned, nullptr);
    CloseHandle(folder);
    if (!made)
        RemoveDirectoryA(link.c_str());
    return made;
}

// Wine 8 reports success for symbolic links it never makes: the link must be there.
bool makeSymbolicLink(const std::string& link, const std::string& target, DWORD flags)
{
    CreateSymbolicLinkA(link.c_str(), target.c_str(), flags | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
    const DWORD attributes = GetFileAttributesA(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

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

// Nothing a junction or a link to a folder leads to is counted, tested or
// removed; a link that is a file is an entry of its own and goes itself.
TEST_F(WalkTest, reparsePointsBelowTheStartFolderAreNeverFollowed)
{
    tree.file("outside/bad.exe", "keep me");
    tree.file("outside/folder/worm.dll");
    tree.file("scan/plain.txt");
    const bool junction = makeJunction(tree.path("scan/junction"), tree.path("outside/folder"));
    const bool folderLink =
        makeSymbolicLink(tree.path("scan/folder-link"), tree.path("outside/folder"), SYMBOLIC_LINK_FLAG_DIRECTORY);
    const bool fileLink = makeSymbolicLink(tree.path("scan/bad.exe"), tree.path("outside/bad.exe"), 0);
    if (!junction && !folderLink && !fileLink)
        GTEST_SKIP() << "this system makes neither junctions nor symbolic links (Wine 8 makes none)";
    window.autoRepairOption = 1;
    walk();
    EXPECT_EQ(Counts().Dirs, 1);
    EXPECT_EQ(Counts().Files, fileLink ? 2 : 1);
    EXPECT_EQ(window.rows.size(), fileLink ? 1u : 0u);
    EXPECT_TRUE(tree.exists("outside/bad.exe"));
    EXPECT_TRUE(tree.exists("outside/folder/worm.dll"));
    EXPECT_EQ(mFileSearch::PassedOverFolders().count(PassedOver::Reason::ReparsePoint),
              double(junction) + double(folderLink));
    if (fileLink) {
        EXPECT_EQ(window.rows[0].iconKey, "greenbug");
        EXPECT_FALSE(tree.exists("scan/bad.exe"));
    }
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
