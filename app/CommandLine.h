#pragma once

#include <string>
#include <vector>

// The program's command line: the switch "/scannow" and an optional second
// word name=keypath that names the settings key path.
namespace ombrix::CommandLine {

// The words after the program's name as one text, joined by single blanks.
std::string Text(const std::vector<std::string>& words);

// True when the text's first eight characters are exactly "/scannow"; what
// follows them is not looked at.
bool IsScanNow(const std::string& text);

// The key path the text names: the text is cut at its first blank, and of the
// second word the piece between its first and second "=" is taken. Empty when
// there is no second word or it holds no "=".
std::string Regpath(const std::string& text);

}  // namespace ombrix::CommandLine
