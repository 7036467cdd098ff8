#pragma once

#include <functional>

namespace ombrix::test {

enum class Isolated { Passed, Failed, Unavailable };

// Runs `body` in a child process with a mount namespace of its own, so that the
// mounts it makes vanish with it and no one else sees them. Unavailable where
// the system grants no such namespace, or `body` says it could not mount what
// it needs (then the caller skips its test).
Isolated inOwnMountNamespace(const std::function<Isolated()>& body);

}  // namespace ombrix::test
