#include "TestStore.h"

#include <windows.h>

namespace ombrix::test {

// The registry outlives every test run, so each store is a key named after its
// tree and goes with it.
TestStore::TestStore(const TempTree& tree)
    : key_("Software\\Ombrix Tests\\" + tree.root().substr(tree.root().find_last_of('\\') + 1))
{
}

TestStore::~TestStore()
{
    RegDeleteTreeA(HKEY_CURRENT_USER, key_.c_str());
}

bool TestStore::untouched() const
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, key_.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return true;
    RegCloseKey(key);
    return false;
}

}  // namespace ombrix::test
