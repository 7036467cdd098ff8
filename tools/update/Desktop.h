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

// Runs `update` (on a thread of its own) while its window shows the progress;
// returns its outcome once the user has closed the window.
Outcome UpdateInWindow(int& argc, char** argv, const std::function<Outcome(UpdateReport&)>& update);

}  // namespace ombrix::update
