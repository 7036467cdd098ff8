#include "EngineFixture.h"

namespace ombrix::test {
namespace {

using mFileSearch::Counts;

TEST_F(WalkTest, countsFoldersAndFilesAndShowsThemWhenEachVisitEnds)
{
    tree.file("scan/one.txt");
    tree.file("scan/.hidden-file");
    tree.file("scan/sub/two.txt");
    tree.file("scan/sub/deeper/three.txt");
    tree.file("scan/.hidden/bad.exe");
    walk();
    EXPECT_EQ(Counts().Dirs, 3);
    EXPECT_EQ(Counts().Files, 4);
    EXPECT_EQ(window.text(ScanLabel::Label2), "Dirs: 3");
    EXPECT_EQ(window.text(ScanLabel::Label3), "Files: 4");
    EXPECT_EQ(window.yields, 3);
    EXPECT_TRUE(window.rows.empty());
    const std::vector<std::string> expectedVisits{tree.path("scan") + kPathSeparator, tree.path("scan/sub"),
                                                  tree.path("scan/sub/deeper")};
    EXPECT_EQ(window.visitedFolders, expectedVisits);
}

TEST_F(WalkTest, emptyOrMissingStartFolderCountsOneFolderAndEveryWalkStartsAtZero)
{
    tree.file("scan/a.txt");
    walk();
    EXPECT_EQ(Counts().Files, 1);
    tree.dir("empty");
    walk("empty");
    EXPECT_EQ(Counts().Dirs, 1);
    EXPECT_EQ(Counts().Files, 0);
    walk("does-not-exist");
    EXPECT_EQ(Counts().Dirs, 1);
    EXPECT_EQ(Counts().Files, 0);
    EXPECT_EQ(window.text(ScanLabel::Label2), "Dirs: 1");
}

TEST_F(WalkTest, findingsKeepTheFilesOwnSpellingAndStaySelected)
{
    tree.file("scan/BAD.EXE");
    tree.file("scan/sub/Worm.Dll");
    tree.file("scan/notbad.exe");
    tree.file("scan/bad.exe.txt");
    walk();
    EXPECT_EQ(foundPaths(), (std::vector<std::string>{tree.path("scan/BAD.EXE"), tree.path("scan/sub/Worm.Dll")}));
    for (const auto& row : window.rows) {
        EXPECT_TRUE(row.selected);
        EXPECT_EQ(row.iconKey, "redbug");
    }
    EXPECT_EQ(window.text(ScanLabel::Label5), "Detected:  2");
    EXPECT_TRUE(tree.exists("scan/BAD.EXE"));
}

// Canceled at the first yield, which ends the visit of c/ or x/, whichever
// comes first: the open folders finish their files, the other is not entered.
TEST_F(WalkTest, cancelLetsOpenFoldersFinishTheirFilesButEntersNoFurtherFolder)
{
    tree.file("scan/bad.exe");
    tree.file("scan/a/worm.dll");
    tree.file("scan/a/b/bad.exe");
    tree.file("scan/a/b/more.txt");
    tree.file("scan/a/b/c/leaf.txt");
    tree.file("scan/a/b/x/one.txt");
    window.onYield = [](RecordingWindow& w) { w.canceledFlag = true; };
    walk();
    EXPECT_EQ(window.visitedFolders.size(), 4u);
    EXPECT_EQ(Counts().Dirs, 4);
    EXPECT_EQ(Counts().Files, 5);
    EXPECT_EQ(window.rows.size(), 3u);
    EXPECT_EQ(window.text(ScanLabel::Label3), "Files: 5");
}

}  // namespace
}  // namespace ombrix::test
