#include "FolderOfPath.h"

#include <gtest/gtest.h>

#include <string>

#include "NativePath.h"

namespace ombrix {
namespace {

using test::native;

TEST(FolderOfPath, keepsEveryPartButTheLast)
{
    const struct { const char* path; const char* folder; } cases[] = {
        {"C:/Windows/Temp/x.exe", "C:/Windows/Temp/"}, {"C:/x.exe", "C:/"}, {"/x.exe", "/"},
        {"C:/Windows/Temp/", "C:/Windows/"}, {"x.exe", ""}, {"//host/share/x.exe", "//host/share/"},
        {"D:/a b/c.exe", "D:/a b/"}, {"a//b", "a//"}, {"/", ""}, {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FolderOfPath(native(c.path)), native(c.folder)) << "path " << c.path;
}

}  // namespace
}  // namespace ombrix
