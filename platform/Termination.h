#pragma once

#include <chrono>

// The system's requests to stop as a cancel request, so a scheduler's stop, a
// logout or Ctrl+C ends a scan the way the Cancel button does. On Linux they
// are SIGINT and SIGTERM; on Windows the console's Ctrl+C, Ctrl+Break, close,
// logoff and shutdown events.
namespace ombrix {

// Starts watching; from then on a request no longer ends the process.
void watchTermination();
// True once a request has arrived.
bool terminationRequested();
// A descriptor that becomes readable once a request has arrived, for an event
// loop that sleeps until something happens; -1 when none could be made, and
// always on Windows.
int terminationDescriptor();
// How many requests have arrived, so that a wait can tell whether one came
// while it waited.
unsigned long terminationCount();
// Sleeps for `span`, or less when a request arrives meanwhile.
void sleepUnlessTerminated(std::chrono::nanoseconds span);

}  // namespace ombrix
