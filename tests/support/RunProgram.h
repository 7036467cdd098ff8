#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ombrix::test {

struct ProgramResult {
    int status = -1;  // exit status, or -1 when the program did not exit normally
    std::string out;
    std::string err;
};

// Runs a program directly (no shell) and collects its output and exit status.
ProgramResult runProgram(const std::vector<std::string>& argv);

// `text` as a console program writes it here: lines end in "\n", or in "\r\n"
// on Windows, whose C library writes that for every "\n" on a console or pipe.
std::string asWritten(std::string_view text);

}  // namespace ombrix::test
