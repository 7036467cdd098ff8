#pragma once

// SIGINT and SIGTERM as a cancel request for runs without a window, so a
// scheduler's stop or Ctrl+C ends a scan the way the Cancel button does.
namespace ombrix {

// Installs the handlers; from then on the signals no longer end the process.
void watchTermination();
// True once either signal has arrived.
bool terminationRequested();
// How many of the two signals have arrived, so that a wait can tell whether
// one came while it waited.
unsigned long terminationCount();

}  // namespace ombrix
