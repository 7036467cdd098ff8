#include "UpdateFixture.h"

#include <filesystem>

namespace ombrix::test {

std::string UpdateFixture::programName()
{
    return "update";
}

void UpdateFixture::copyProgram(const std::string& path)
{
    std::filesystem::copy_file(UPDATE_PROGRAM, path);
}

Names UpdateFixture::untouchedFolder()
{
    return {"ombrix.ini", "update", "update-keys", "update.conf"};
}

std::string UpdateFixture::config(const std::string& name)
{
    return "prog/" + name;
}

}  // namespace ombrix::test
