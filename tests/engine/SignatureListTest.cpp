#include <gtest/gtest.h>

#include <random>

#include "AsciiFold.h"
#include "NameIndex.h"
#include "TempTree.h"
#include "mFileSearch.h"

namespace ombrix::mFileSearch {
namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

class SignatureListTest : public ::testing::Test {
protected:
    Entries load(std::string_view content)
    {
        const std::string file = tree.path("ombrix.ini");
        test::writeFile(file, content);
        SetSignatureFile(file);
        LoadSignatures();
        Entries entries;
        for (std::size_t i = 0; i < SignatureCount(); ++i)
            entries.emplace_back(SignatureAt(i).VirusName, SignatureAt(i).FileName);
        EXPECT_EQ(SignatureCount(), entries.size());
        return entries;
    }

    test::TempTree tree;
};

TEST_F(SignatureListTest, linesAreReadByTheFileRules)
{
    const struct {
        const char* what;
        std::string content;
        Entries expected;
    } cases[] = {
        {"CR LF", "A\ta.exe\r\nB\tb.exe\r\n", {{"A", "a.exe"}, {"B", "b.exe"}}},
        {"CR only", "A\ta.exe\rB\tb.exe", {{"A", "a.exe"}, {"B", "b.exe"}}},
        {"LF only is one line", "A\ta.exe\nB\tb.exe\n", {{"A", "a.exe\nB"}}},
        {"mixed ends", "A\ta.exe\r\nB\tb.exe\rC\tc\n.exe\r\n", {{"A", "a.exe"}, {"B", "b.exe"}, {"C", "c\n.exe"}}},
        {"no final line end", "A\ta.exe", {{"A", "a.exe"}}},
        {"comments and blanks", "' header\r\n\r\n   \r\n   ' indented\r\nA\ta.exe\r\n", {{"A", "a.exe"}}},
        {"only comments", "' one\r\n\r\n'two", {}},
        {"spaces trimmed, TABs kept", "  A \t b.exe  \r\n\tc.exe\r\n", {{"A", "b.exe"}, {"", "c.exe"}}},
        {"empty second field", "A\t\tb.exe\r\n", {{"A", ""}}},
        {"no TAB", "Lonely name\r\n", {{"Lonely name", ""}}},
        {"fields after the second ignored", "A\ta.exe\tmore\tstuff\r\n", {{"A", "a.exe"}}},
        {"names of one file joined", "A\tbad.exe\r\nB\tgood.exe\r\nC\tbad.exe\r\n",
         {{"A, C", "bad.exe"}, {"B", "good.exe"}}},
        {"same line twice", "A\tbad.exe\r\nA\tbad.exe\r\n", {{"A, A", "bad.exe"}}},
        {"case variants stay two entries", "A\tBad.exe\r\nB\tbad.exe\r\n", {{"A", "Bad.exe"}, {"B", "bad.exe"}}},
        {"NUL bytes are characters", std::string("A\0B\tx\0y\r\n", 9), {{std::string("A\0B", 3), std::string("x\0y", 3)}}},
        {"empty file", "", {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(load(c.content), c.expected) << c.what;
    }
}

TEST_F(SignatureListTest, missingOrUnreadableFileGivesAnEmptyList)
{
    load("A\ta.exe\r\n");
    SetSignatureFile(tree.path("absent.ini"));
    LoadSignatures();
    EXPECT_EQ(SignatureCount(), 0u);
    tree.dir("folder.ini");
    SetSignatureFile(tree.path("folder.ini"));
    LoadSignatures();
    EXPECT_EQ(SignatureCount(), 0u);
}

TEST_F(SignatureListTest, reloadingRebuildsRatherThanRepeatsNames)
{
    load("A\tbad.exe\r\nB\tbad.exe\r\n");
    EXPECT_EQ(load("A\tbad.exe\r\nB\tbad.exe\r\n"), (Entries{{"A, B", "bad.exe"}}));
}

TEST_F(SignatureListTest, hugeLinesAndBinaryNoiseLoadWithoutHarm)
{
    const std::string longName(10 * 1024 * 1024, 'x');
    EXPECT_EQ(load("A\t" + longName + "\r\nB\tb.exe\r\n"), (Entries{{"A", longName}, {"B", "b.exe"}}));

    std::mt19937 random(7);
    std::string noise(1 << 20, '\0');
    for (char& c : noise)
        c = char(random());
    load(noise);
    EXPECT_GT(SignatureCount(), 0u);
    for (std::size_t i = 0; i < SignatureCount(); ++i) {
        const std::string_view fileName = SignatureAt(i).FileName;
        EXPECT_EQ(FindSignature(fileName).has_value(), !fileName.empty() && fileName.front() != '%');
    }
}

TEST_F(SignatureListTest, matchingIsWholeNameAndFoldsAsciiCaseOnly)
{
    load("First\tSetup.exe\r\nSecond\tsetup.EXE\r\nPct\t%temp%.exe\r\nPct2\t%x.exe\r\nHigh\tcaf\xc9.txt\r\n"
         "Empty\t\r\n");
    const auto threat = [](std::string_view name) {
        const auto s = FindSignature(name);
        return s ? std::string(s->VirusName) : std::string("-");
    };
    EXPECT_EQ(threat("SETUP.EXE"), "First");
    EXPECT_EQ(threat("setup.exe"), "First");
    EXPECT_EQ(threat("setup.exe.bak"), "-");
    EXPECT_EQ(threat("my setup.exe"), "-");
    EXPECT_EQ(threat("setup"), "-");
    EXPECT_EQ(threat("%temp%.exe"), "-");
    EXPECT_EQ(threat("x.exe"), "-");
    EXPECT_EQ(threat("caf\xc9.txt"), "High");
    EXPECT_EQ(threat("CAF\xc9.TXT"), "High");
    EXPECT_EQ(threat("caf\xe9.txt"), "-");
    EXPECT_EQ(threat(""), "-");
}

TEST(FoldedHash, foldsExactlyTheLettersAtoZInEveryPosition)
{
    for (int byte = 0; byte < 256; ++byte) {
        for (const std::size_t length : {1u, 7u, 8u, 9u, 16u, 23u}) {
            std::string name(length, 'q');
            name[length / 2] = char(byte);
            name[length - 1] = char(byte);
            std::string folded = name;
            for (char& c : folded)
                c = foldAscii(c);
            ASSERT_EQ(NameIndex::foldedHash(name), NameIndex::hash(folded)) << byte << " " << length;
        }
    }
}

}  // namespace
}  // namespace ombrix::mFileSearch
