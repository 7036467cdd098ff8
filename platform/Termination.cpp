#include "Termination.h"

#include <csignal>

namespace ombrix {

namespace {

volatile std::sig_atomic_t received = 0;

void request(int)
{
    received = received + 1;
}

}  // namespace

void watchTermination()
{
    struct sigaction action{};
    action.sa_handler = request;
    // Each handler runs with both signals held, so no arrival is lost in the count.
    sigemptyset(&action.sa_mask);
    sigaddset(&action.sa_mask, SIGINT);
    sigaddset(&action.sa_mask, SIGTERM);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool terminationRequested()
{
    return received != 0;
}

unsigned long terminationCount()
{
    return static_cast<unsigned long>(received);
}

}  // namespace ombrix
