#include "CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ombrix::CommandLine {
namespace {

struct Case {
    std::vector<std::string> words;
    bool scanNow;
    std::string regpath;
};

// The words are joined by single blanks first, so the rows also catch a wrong join.
TEST(CommandLine, switchAndKeyPath)
{
    const std::vector<Case> cases = {
        {{}, false, ""},
        {{"/scannow"}, true, ""},
        {{"/SCANNOW"}, false, ""},
        {{"/scann"}, false, ""},
        {{"/scannowplus"}, true, ""},
        {{" /scannow"}, false, ""},
        {{"/scannow", "name=Software\\Test Keys"}, true, "Software\\Test Keys"},
        {{"/scannow", "a=b=c"}, true, "b"},
        {{"/scannow", "a="}, true, ""},
        {{"/scannow", "=Software\\Test"}, true, "Software\\Test"},
        {{"/scannow", "Software\\Test"}, true, ""},
        {{"x=Software\\Test"}, false, ""},
        {{"open", "x=Software\\Test"}, false, "Software\\Test"},
        {{"/scannow", "a=b", "c=d"}, true, "b c"},
    };
    for (const Case& c : cases) {
        const std::string text = Text(c.words);
        EXPECT_EQ(IsScanNow(text), c.scanNow) << '"' << text << '"';
        EXPECT_EQ(Regpath(text), c.regpath) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace ombrix::CommandLine
