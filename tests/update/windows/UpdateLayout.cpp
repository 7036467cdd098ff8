#include "UpdateFixture.h"

#include <windows.h>

#include "Paths.h"

namespace ombrix::test {

std::string UpdateFixture::programName()
{
    return "update.exe";
}

// Copied beside this test when it was built. Under Wine that folder lies on
// no drive, and its name comes back as "unix\..." without the "\\?\" the
// system's calls need.
void UpdateFixture::copyProgram(const std::string& path)
{
    std::string folder = ProgramFolder();
    if (folder.starts_with("unix\\"))
        folder = "\\\\?\\" + folder;
    EXPECT_TRUE(CopyFileA((folder + "\\update.exe").c_str(), path.c_str(), TRUE)) << GetLastError();
}

Names UpdateFixture::untouchedFolder()
{
    return {"ombrix.ini", "update-keys", "update.exe"};
}

std::string UpdateFixture::config(const std::string& name)
{
    return "data/Ombrix/" + name;
}

}  // namespace ombrix::test
