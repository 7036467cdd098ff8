#include "UpdateConfig.h"

#include <sstream>
#include <string_view>

#include "SmallFile.h"

namespace ombrix::update {

namespace {

constexpr std::size_t kMaxConfigBytes = 64 * 1024;

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace

std::string ReadUpdateConfig(const std::string& path, UpdateConfig& config)
{
    std::string why;
    const std::optional<std::string> file = ReadSmallFile(path, kMaxConfigBytes, true, why);
    if (!file)
        return why;
    std::istringstream in(*file);
    std::string text;
    for (int number = 1; std::getline(in, text); ++number) {
        const std::string_view line = trimmed(text);
        if (line.empty() || line.front() == '#')
            continue;
        const auto equals = line.find('=');
        const std::string_view name = trimmed(line.substr(0, equals));
        const std::string value(trimmed(line.substr(equals == std::string_view::npos ? line.size() : equals + 1)));
        const std::string where = path + " line " + std::to_string(number);
        if (equals == std::string_view::npos || value.empty())
            return where + " is not \"name = value\"";
        if (name == "url")
            config.url = value;
        else if (name == "allow-http")
            config.httpHosts.push_back(value);
        else
            return where + ": unknown setting \"" + std::string(name) + "\"";
    }
    return {};
}

}  // namespace ombrix::update
