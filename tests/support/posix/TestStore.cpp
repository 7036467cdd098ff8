#include "TestStore.h"

#include <sys/stat.h>

#include <cstdlib>

namespace ombrix::test {

TestStore::TestStore(const TempTree& tree) : key_("Software\\Test"), file_(tree.path("settings.db"))
{
    ::setenv("OMBRIX_SETTINGS", file_.c_str(), 1);
}

TestStore::~TestStore() = default;

bool TestStore::untouched() const
{
    struct stat st;
    return ::lstat(file_.c_str(), &st) != 0;
}

}  // namespace ombrix::test
