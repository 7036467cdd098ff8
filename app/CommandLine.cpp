#include "CommandLine.h"

namespace ombrix::CommandLine {

std::string Text(const std::vector<std::string>& words)
{
    std::string text;
    for (const std::string& word : words) {
        if (&word != &words.front())
            text += ' ';
        text += word;
    }
    return text;
}

bool IsScanNow(const std::string& text)
{
    return text.starts_with("/scannow");
}

std::string Regpath(const std::string& text)
{
    const auto blank = text.find(' ');
    if (blank == std::string::npos)
        return {};
    const std::string second = text.substr(blank + 1);
    const auto first = second.find('=');
    if (first == std::string::npos)
        return {};
    const auto next = second.find('=', first + 1);
    return second.substr(first + 1, next == std::string::npos ? std::string::npos : next - first - 1);
}

}  // namespace ombrix::CommandLine
