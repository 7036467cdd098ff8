#include <gtest/gtest.h>

#include "Release.h"

namespace ombrix::update {

namespace {

const std::string kHash(64, 'a');
const std::string kGood = "List: ombrix.ini\nVersion: 2026120601\nDate: 2026-12-06T09:00:00Z\n"
                          "Valid-Until: 2026-12-13T09:00:00Z\nSize: 12\nSHA256: " + kHash + "\n";

std::string with(std::string text, const std::string& from, const std::string& to)
{
    return text.replace(text.find(from), from.size(), to);
}

TEST(ReleaseTest, aReleaseIsReadOnlyWhenEveryFieldIsThereOnceAndWellFormed)
{
    const struct {
        std::string text;
        std::string why;  // empty: read
    } cases[] = {
        {kGood, ""},
        {with(kGood, "\n", "\r\n") + "Origin: a later field\n\n", ""},
        {"Version: 2026120601\n" + kGood, "it names \"Version\" twice"},
        {with(kGood, "Size: 12\n", ""), "it has no \"Size\""},
        {with(kGood, "List: ombrix.ini", "List: ../ombrix.ini"), "its list name \"../ombrix.ini\" is not a plain file name"},
        {with(kGood, "List: ombrix.ini", "List: .ombrix.ini"), "its list name \".ombrix.ini\" is not a plain file name"},
        {with(kGood, "List: ombrix.ini", "List: a?b"), "its list name \"a?b\" is not a plain file name"},
        {with(kGood, "2026120601", "+2026120601"), "its version is not a number"},
        {with(kGood, "2026120601", "18446744073709551616"), "its version is not a number"},
        {with(kGood, "2026-12-06T09", "2026-02-30T09"), "its dates are not of the form 2026-12-06T09:00:00Z"},
        {with(kGood, "09:00:00Z\nValid", "09:00:00+01\nValid"), "its dates are not of the form 2026-12-06T09:00:00Z"},
        {with(kGood, "Size: 12", "Size: -1"), "its size is not a number"},
        {with(kGood, kHash, std::string(64, 'A')), "its SHA256 is not 64 lower-case hex digits"},
        {with(kGood, "Size:", "Size "), "a line is not \"Name: value\""},
    };
    for (const auto& c : cases) {
        std::string why;
        const auto release = ParseRelease(c.text, why);
        EXPECT_EQ(why, c.why) << c.text;
        EXPECT_EQ(release.has_value(), c.why.empty()) << c.text;
    }
    std::string why;
    const auto release = ParseRelease(kGood, why);
    ASSERT_TRUE(release);
    EXPECT_EQ(ReleaseText(*release), kGood);
}

TEST(ReleaseTest, aReleaseIsInstalledOnlyWhileValidAndWithASaneVersion)
{
    const std::time_t issued = *ParseUtc("2026-12-06T09:00:00Z");
    const struct {
        std::uint64_t version;
        std::string validUntil;
        std::string now;
        std::string problem;
    } cases[] = {
        {2026120601, "2026-12-13T09:00:00Z", "2026-12-06T09:00:00Z", ""},
        {7, "2026-12-13T09:00:00Z", "2026-12-13T08:59:59Z", ""},
        {2026120799, "2026-12-13T09:00:00Z", "2026-12-07T09:00:00Z", ""},
        {2026120801, "2026-12-13T09:00:00Z", "2026-12-07T09:00:00Z",
         "its version 2026120801 is more than a day ahead of its date 2026-12-06T09:00:00Z"},
        {18446744073709551615u, "2026-12-13T09:00:00Z", "2026-12-07T09:00:00Z",
         "its version 18446744073709551615 is more than a day ahead of its date 2026-12-06T09:00:00Z"},
        {2026120601, "2026-12-13T09:00:00Z", "2026-12-13T09:00:00Z", "it expired on 2026-12-13T09:00:00Z"},
        {2026120601, "2026-12-06T09:00:00Z", "2026-12-06T09:00:00Z", "its validity ends before it begins"},
        {2026120601, "2027-12-06T09:00:00Z", "2027-12-06T08:59:59Z", ""},
        {2026120601, "2027-12-06T09:00:01Z", "2026-12-06T09:00:00Z",
         "it is valid for more than 365 days (until 2027-12-06T09:00:01Z)"},
        {2026120601, "2126-12-06T09:00:00Z", "2026-12-06T09:00:00Z",
         "it is valid for more than 365 days (until 2126-12-06T09:00:00Z)"},
        {2026120601, "2026-12-13T09:00:00Z", "2026-12-05T08:59:59Z",
         "it was issued in the future (2026-12-06T09:00:00Z)"},
    };
    for (const auto& c : cases) {
        const Release release{"ombrix.ini", c.version, issued, *ParseUtc(c.validUntil), 12, kHash};
        EXPECT_EQ(ReleaseProblem(release, *ParseUtc(c.now)), c.problem) << c.version << " at " << c.now;
    }
    const Release lastYear{"ombrix.ini", kVersionCeiling, *ParseUtc("9999-12-31T00:00:00Z"),
                           *ParseUtc("9999-12-31T23:00:00Z"), 12, kHash};
    EXPECT_EQ(ReleaseProblem(lastYear, lastYear.issued), "") << "the ceiling itself is a version";
}

}  // namespace

}  // namespace ombrix::update
