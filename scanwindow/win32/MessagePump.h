#pragma once

#include "Win32.h"

// The program's one user-interface thread: its message loop, the scan's yield,
// and the rule that the program ends once no window is left.
namespace ombrix::MessagePump {

// Hands one message to its window, with the keyboard navigation of dialogs
// (Tab between controls) in every window of the program.
void dispatch(MSG& message);

// Runs the messages waiting now, then returns. A request to end the program
// that arrives here is kept for the main loop.
void runPending();

// The main loop. It returns once a message has been handled and none of the
// program's windows is left on the screen, and nothing holds the program.
void run();

// While a scan runs the program must not end, even when no window is on the
// screen for a while; counted, so holds may nest.
void hold(bool holding);

// The program's visible window that is active or, when none is, any visible
// one; nullptr when no window is on the screen.
HWND activeWindow();

}  // namespace ombrix::MessagePump
