#include "ListVersion.h"

#include <charconv>

#include "AsciiFold.h"
#include "Text.h"

namespace ombrix::update {

namespace {

std::string_view trimBlanks(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::optional<std::uint64_t> versionOfLine(std::string_view line)
{
    line = trimSpaces(line);
    if (line.empty() || line.front() != '\'')
        return std::nullopt;
    line = trimBlanks(line.substr(1));
    constexpr std::string_view kWord = "version";
    if (line.size() <= kWord.size() || (line[kWord.size()] != ' ' && line[kWord.size()] != '\t'))
        return std::nullopt;
    for (std::size_t i = 0; i < kWord.size(); ++i)
        if (foldAscii(line[i]) != kWord[i])
            return std::nullopt;
    const std::string_view digits = trimBlanks(line.substr(kWord.size()));
    std::uint64_t version = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), version);
    if (error != std::errc() || end != digits.data() + digits.size())
        return std::nullopt;
    return version;
}

}  // namespace

std::optional<std::uint64_t> ListVersion(std::string_view list)
{
    while (!list.empty()) {
        const auto cr = list.find('\r');
        if (const auto version = versionOfLine(list.substr(0, cr)))
            return version;
        if (cr == std::string_view::npos)
            break;
        list.remove_prefix(cr + 1);
        if (!list.empty() && list.front() == '\n')
            list.remove_prefix(1);
    }
    return std::nullopt;
}

}  // namespace ombrix::update
