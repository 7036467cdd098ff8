#include "Termination.h"

#include <csignal>

namespace ombrix {

namespace {

volatile std::sig_atomic_t requested = 0;

void request(int)
{
    requested = 1;
}

}  // namespace

void watchTermination()
{
    struct sigaction action{};
    action.sa_handler = request;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool terminationRequested()
{
    return requested != 0;
}

}  // namespace ombrix
