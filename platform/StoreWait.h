#pragma once

#include <chrono>

namespace ombrix {

// How long settings store calls wait for another program that holds the store.
// The calls a thread makes while one StoreWait lives share its limit, and a
// wait ends at once when a termination request (Termination.h) arrives after
// the StoreWait was made: a run that is told to stop does not sit on a busy store. A StoreWait
// made while another lives on the same thread joins the older one.
class StoreWait {
public:
    explicit StoreWait(std::chrono::milliseconds limit);
    ~StoreWait();
    StoreWait(const StoreWait&) = delete;
    StoreWait& operator=(const StoreWait&) = delete;

    // The wait in force on this thread; null while no StoreWait lives.
    static StoreWait* active();

    // Sleeps a moment before the `attempt`th retry. False, without sleeping,
    // once the limit has passed or a request has arrived.
    bool pause(int attempt);

private:
    std::chrono::steady_clock::time_point deadline_;
    unsigned long signals_;
    bool owner_ = false;
};

}  // namespace ombrix
