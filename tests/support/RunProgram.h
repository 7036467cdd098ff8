#pragma once

#include <string>
#include <vector>

namespace ombrix::test {

struct ProgramResult {
    int status = -1;  // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs a program directly (no shell) and collects its output and exit status.
ProgramResult runProgram(const std::vector<std::string>& argv);

}  // namespace ombrix::test
