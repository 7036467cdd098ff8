#pragma once

// SIGINT and SIGTERM as a cancel request, so a scheduler's stop, a logout or
// Ctrl+C ends a scan the way the Cancel button does.
namespace ombrix {

// Installs the handlers; from then on the signals no longer end the process.
void watchTermination();
// True once either signal has arrived.
bool terminationRequested();
// A descriptor that becomes readable once either signal has arrived, for an
// event loop that sleeps until something happens; -1 when none could be made.
int terminationDescriptor();
// How many of the two signals have arrived, so that a wait can tell whether
// one came while it waited.
unsigned long terminationCount();

}  // namespace ombrix
