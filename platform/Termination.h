#pragma once

// SIGINT and SIGTERM as a cancel request for runs without a window, so a
// scheduler's stop or Ctrl+C ends a scan the way the Cancel button does.
namespace ombrix {

// Installs the handlers; from then on the signals no longer end the process.
void watchTermination();
// True once either signal has arrived.
bool terminationRequested();

}  // namespace ombrix
