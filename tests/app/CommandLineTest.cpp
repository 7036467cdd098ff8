#include "CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

namespace ombrix::CommandLine {
namespace {

// The words are joined by single blanks first, so the rows also catch a wrong join.
TEST(CommandLine, switchAndKeyPath)
{
    // words, switch, key path
    const std::vector<std::tuple<std::vector<std::string>, bool, std::string>> cases = {
        {{}, false, ""}, {{"/scannow"}, true, ""}, {{"/SCANNOW"}, false, ""}, {{"/scann"}, false, ""},
        {{"/scannowplus"}, true, ""}, {{" /scannow"}, false, ""},
        {{"/scannow", "name=Software\\Test Keys"}, true, "Software\\Test Keys"}, {{"/scannow", "a=b=c"}, true, "b"},
        {{"/scannow", "a="}, true, ""}, {{"/scannow", "=Software\\Test"}, true, "Software\\Test"},
        {{"/scannow", "Software\\Test"}, true, ""}, {{"x=Software\\Test"}, false, ""},
        {{"open", "x=Software\\Test"}, false, "Software\\Test"}, {{"/scannow", "a=b", "c=d"}, true, "b c"},
    };
    for (const auto& [words, scanNow, regpath] : cases) {
        const std::string text = Text(words);
        EXPECT_EQ(IsScanNow(text), scanNow) << '"' << text << '"';
        EXPECT_EQ(Regpath(text), regpath) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace ombrix::CommandLine
