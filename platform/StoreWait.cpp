#include "StoreWait.h"

#include <algorithm>

#include "Termination.h"

namespace ombrix {

namespace {

thread_local StoreWait* current = nullptr;

// Short first, so a lock held for one write costs little; never long, so the
// limit and a termination request are noticed soon.
constexpr std::chrono::milliseconds kLongestSleep{20};

}  // namespace

StoreWait::StoreWait(std::chrono::milliseconds limit)
    : deadline_(std::chrono::steady_clock::now() + limit), signals_(terminationCount())
{
    if (!current) {
        current = this;
        owner_ = true;
    }
}

StoreWait::~StoreWait()
{
    if (owner_)
        current = nullptr;
}

StoreWait* StoreWait::active()
{
    return current;
}

bool StoreWait::pause(int attempt)
{
    const auto left = deadline_ - std::chrono::steady_clock::now();
    if (terminationCount() != signals_ || left <= left.zero())
        return false;
    const auto sleep = std::min<std::chrono::nanoseconds>(
        {std::chrono::milliseconds(attempt + 1), kLongestSleep, std::chrono::nanoseconds(left)});
    // A request that ends the sleep early is noticed on the next attempt.
    sleepUnlessTerminated(sleep);
    return true;
}

}  // namespace ombrix
