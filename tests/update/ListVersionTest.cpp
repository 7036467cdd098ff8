#include <gtest/gtest.h>

#include "ListVersion.h"

namespace ombrix::update {

namespace {

TEST(ListVersionTest, theFirstVersionCommentCountsWhereverTheLoaderSeesALine)
{
    const struct {
        std::string list;
        std::optional<std::uint64_t> version;
    } cases[] = {
        {"' version 2026120601\r\nA\tb.exe\r\n", 2026120601},
        {"A\tb.exe\r\n   '\tVERSION  7  \r\n", 7},
        {"' version 1\r' version 2\r\n", 1},
        {"A\tb.exe\r\n' version 18446744073709551615", 18446744073709551615u},
        {"' version 18446744073709551616\r\n", std::nullopt},
        {"' version 1\n' LF does not end a line\r\n", std::nullopt},
        {"' version 3a\r\n", std::nullopt},
        {"x ' version 3\r\n", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ListVersion(c.list), c.version) << ::testing::PrintToString(c.list);
}

}  // namespace

}  // namespace ombrix::update
