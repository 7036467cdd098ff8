#pragma once

#include <string>

#include "TempTree.h"

namespace ombrix::test {

// A settings store the test has to itself: a file in the test's tree on POSIX
// systems, a key of its own below HKEY_CURRENT_USER on Windows, removed when the
// object goes. Scans record under key().
class TestStore {
public:
    explicit TestStore(const TempTree& tree);
    ~TestStore();
    TestStore(const TestStore&) = delete;
    TestStore& operator=(const TestStore&) = delete;

    const std::string& key() const { return key_; }
    // The value `name` under key(), "<absent>" when there is none.
    std::string read(const char* name) const;
    // True while nothing at all has been written to the store.
    bool untouched() const;

private:
    std::string key_;
    std::string file_;
};

}  // namespace ombrix::test
