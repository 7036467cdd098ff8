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

// Line ends, comments, blanks, fields and joined names are checked against the
// model of tests/tools/differential_scan.py; these are what it never writes.
TEST_F(SignatureListTest, nulBytesAreCharactersAndAnEmptyFileIsAnEmptyList)
{
    EXPECT_EQ(load(std::string("A\0B\tx\0y\r\n", 9)), (Entries{{std::string("A\0B", 3), std::string("x\0y", 3)}}));
    EXPECT_EQ(load(""), Entries{});
}

// Only A-Z fold: a file whose name differs in a byte's other "case" beyond
// ASCII is never taken for a listed one. The differential model meets such
// names only now and then; this holds on every run and on both systems.
TEST_F(SignatureListTest, onlyAsciiLettersFold)
{
    load("High\tcaf\xc9.txt\r\n");
    EXPECT_TRUE(FindSignature("CAF\xc9.TXT"));
    EXPECT_FALSE(FindSignature("caf\xe9.txt"));
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
