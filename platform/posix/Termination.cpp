#include "Termination.h"

#include <fcntl.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace ombrix {

namespace {

volatile std::sig_atomic_t received = 0;
int wakeUp[2] = {-1, -1};

void request(int)
{
    received = received + 1;
    const int savedErrno = errno;
    const char byte = 1;
    // A full pipe already wakes its reader, so a failed write loses nothing.
    if (wakeUp[1] >= 0) {
        [[maybe_unused]] const ssize_t written = ::write(wakeUp[1], &byte, 1);
    }
    errno = savedErrno;
}

}  // namespace

void watchTermination()
{
    if (wakeUp[0] < 0 && ::pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0)
        wakeUp[0] = wakeUp[1] = -1;
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

int terminationDescriptor()
{
    return wakeUp[0];
}

void sleepUnlessTerminated(std::chrono::nanoseconds span)
{
    // Not restarted when a handler interrupts it: the caller notices the request.
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(span);
    const timespec time{static_cast<time_t>(seconds.count()), static_cast<long>((span - seconds).count())};
    ::nanosleep(&time, nullptr);
}

}  // namespace ombrix
