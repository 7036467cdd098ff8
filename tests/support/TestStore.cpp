#include "TestStore.h"

#include "mRegistry.h"

namespace ombrix::test {

std::string TestStore::read(const char* name) const
{
    return mRegistry::ReadRegString(mRegistry::HKEY_CURRENT_USER, key_, name, "<absent>");
}

}  // namespace ombrix::test
