#include "QuarantineRecord.h"

#include <gtest/gtest.h>

#include "Sha256.h"

namespace ombrix::quarantine {
namespace {

TEST(Sha256, knownDigestsWhateverThePiecesTheBytesComeIn)
{
    const struct {
        std::string bytes;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {std::string(1000000, 'a'), "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const auto& c : cases) {
        for (const std::size_t piece : {std::size_t(1), std::size_t(63), std::size_t(64), std::size_t(4096)}) {
            Sha256 digest;
            for (std::size_t at = 0; at < c.bytes.size(); at += piece)
                digest.feed(std::string_view(c.bytes).substr(at, piece));
            EXPECT_EQ(digest.hex(), c.digest) << c.bytes.size() << " bytes in pieces of " << piece;
        }
    }
}

Entry sample(std::string path)
{
    Entry e;
    e.originalPath = std::move(path);
    e.size = 12;
    e.mode = 0100755;
    e.owner = "1000";
    e.group = "100";
    e.times = {981173106000000000, 981173106123456789, 1796577889232266752};
    e.threat = "Trojan\\A\t";
    e.listVersion = "2026120601";
    e.road = "final pass";
    e.program = "ombrix-scan";
    e.takenAt = 1796577889231580267;
    e.sha256 = "5891b5b522d5df086d0ff0b110fbd9d21bb4fc7163af34d08286a2e846f6be03";
    return e;
}

// Paths are bytes: whatever they hold comes back exactly, and a record stays one
// field per line.
TEST(QuarantineRecord, everyFieldComesBackExactly)
{
    for (const std::string& path : {std::string("/a/bad.exe"), std::string("/new\nline/\r\x01\x7f.exe"),
                                    std::string("/caf\xe9/\\x41 back\\slash"), std::string("/ blanks /x ")}) {
        const Entry e = sample(path);
        const std::string text = RecordStart(e) + RecordEnd(e);
        const std::optional<Entry> read = ParseRecord(text);
        ASSERT_TRUE(read) << text;
        EXPECT_EQ(read->originalPath, e.originalPath);
        EXPECT_EQ(std::tie(read->size, read->mode, read->owner, read->group, read->threat, read->listVersion,
                           read->road, read->program, read->takenAt, read->sha256),
                  std::tie(e.size, e.mode, e.owner, e.group, e.threat, e.listVersion, e.road, e.program, e.takenAt,
                           e.sha256));
        EXPECT_EQ(std::tie(read->times.modified, read->times.accessed, read->times.changed),
                  std::tie(e.times.modified, e.times.accessed, e.times.changed));
    }
}

// A record cut anywhere, as an interruption leaves it, is never taken for a
// complete one; its start, once whole, still names the path; the end's facts
// replace the start's.
TEST(QuarantineRecord, aRecordCutShortIsNeverComplete)
{
    Entry seen = sample("/x/bad.exe");
    Entry held = seen;
    held.size = 99;
    const std::string start = RecordStart(seen);
    const std::string whole = start + RecordEnd(held);
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        const std::string_view text = std::string_view(whole).substr(0, cut);
        EXPECT_FALSE(ParseRecord(text)) << cut;
        const std::optional<Entry> started = ParseRecord(text, false);
        if (cut >= start.size()) {
            ASSERT_TRUE(started) << cut;
        }
        if (started) {
            EXPECT_EQ(started->originalPath, "/x/bad.exe") << cut;
        }
    }
    EXPECT_EQ(ParseRecord(whole)->size, 99u);
    EXPECT_FALSE(ParseRecord("not a record\nend\n", false));
}

// A record is read from a folder the user can write to: what is not a record
// Ombrix wrote is no entry, rather than a half-read one.
TEST(QuarantineRecord, aDamagedOrHostileRecordIsNoEntry)
{
    const std::string head = "ombrix-quarantine 1\n";
    const struct {
        std::string text;
        bool entry;
    } cases[] = {
        {head + "path /x\nend\n", true},
        {head + "path /x\nunknown field\nend\n", true},
        {head + "path /x\\x41\nend\n", true},
        {head + "path /x\nend", false},
        {head + "end\n", false},
        {head + "path \nend\n", false},
        {head + "path /x\\q\nend\n", false},
        {head + "path /x\\x4\nend\n", false},
        {head + "path /x\\xzz\nend\n", false},
        {head + "path /x\\x00/etc/passwd\nend\n", false},
        {head + "path /x\nsize -1\nend\n", false},
        {head + "path /x\nsize 12a\nend\n", false},
        {head + "path /x\nmode 99999999999\nend\n", false},
        {head + "path /x\ntaken\nend\n", false},
        {"ombrix-quarantine 2\npath /x\nend\n", false},
        {"path /x\n" + head + "end\n", false},
        {head + "path /x\nend\nsize 3\n", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseRecord(c.text).has_value(), c.entry) << c.text;
}

TEST(QuarantineRecord, namesSayWhatAFileInAStoreIs)
{
    const std::string id = NewId(1796577889231580267, 0xabcdef123456789);
    EXPECT_EQ(id, "20261206T172449Z-def123456789");
    EXPECT_EQ(IdOfRecord(RecordName(id)), id);
    for (const std::string& name : {HeldName(id), PartName(id), std::string(".entry"), std::string(".lock")})
        EXPECT_EQ(IdOfRecord(name), "") << name;
    EXPECT_TRUE(IsPartName(PartName(id)));
}

// An id comes from a command line too: only what NewId makes names an entry,
// never a path that leads out of its store.
TEST(QuarantineRecord, onlyAnIdNamesAnEntry)
{
    const struct {
        const char* id;
        bool valid;
    } cases[] = {
        {"20261206T172449Z-def123456789", true}, {"", false},         {"../x", false},  {"..", false},
        {"a/b", false},                           {"a\\b", false},     {".hidden", false}, {"x.entry", false},
        {"bad id", false},                        {"id\n", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsId(c.id), c.valid) << c.id;
        EXPECT_EQ(IdOfRecord(std::string(c.id) + ".entry"), c.valid ? c.id : "") << c.id;
    }
}

}  // namespace
}  // namespace ombrix::quarantine
