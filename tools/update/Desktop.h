#pragma once

#include <functional>

#include "Updater.h"

// How the updater was started, and the window it shows when started from the
// desktop: each platform's own.
namespace ombrix::update {

// Started from the main window or a desktop menu rather than a terminal.
bool StartedFromDesktop();

// True when the progress line on stderr reaches a person.
bool TerminalShowsProgress();

// Whether every update writes a system log entry unasked: on Windows the event
// log is where admins look; on Linux the units ask with --log, so that runs by
// hand and tests leave the journal alone.
bool LogsEveryUpdate();

// Runs `update` (on a thread of its own) while its window shows the progress;
// returns its outcome once the user has closed the window.
Outcome UpdateInWindow(int& argc, char** argv, const std::function<Outcome(UpdateReport&)>& update);

}  // namespace ombrix::update
