#pragma once

#include <cstdio>
#include <string>

// What the terminal front end needs of the system it runs on.
namespace ombrix::terminal {

// Readies the process before it scans: the user's character set, a reader that
// stops early (`| head`) never ending the scan or its record, and a terminal
// that takes the progress line's control sequences.
void prepare();
// True when `stream` (stdout or stderr) is a terminal.
bool isTerminal(std::FILE* stream);
// The terminal takes UTF-8, so such names show as they are.
bool takesUtf8();
// Why `folder` cannot be scanned, in words; empty when it can.
std::string folderProblem(const std::string& folder);

}  // namespace ombrix::terminal
