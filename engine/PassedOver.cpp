#include "PassedOver.h"

#include <algorithm>
#include <numeric>

#include "Text.h"

namespace ombrix {

void PassedOver::clear()
{
    counts_ = {};
    for (auto& kept : paths_)
        kept.clear();
    listErrors_.clear();
}

void PassedOver::add(Reason reason, std::string_view path, int error)
{
    counts_[index(reason)] += 1;
    auto& kept = paths_[index(reason)];
    if (kept.size() < kPathsKept)
        kept.push_back({std::string(path), error});
    if (reason != Reason::CouldNotList)
        return;
    const auto same = std::find_if(listErrors_.begin(), listErrors_.end(),
                                   [&](const ErrorCount& known) { return known.error == error; });
    if (same != listErrors_.end())
        same->count += 1;
    else
        listErrors_.push_back({error, 1});
}

double PassedOver::total() const
{
    return std::accumulate(counts_.begin(), counts_.end(), 0.0);
}

std::string PassedOverLine(const PassedOver& passed)
{
    std::string line;
    for (const PassedOver::Reason reason : kPassReasons) {
        const double count = passed.count(reason);
        if (count == 0)
            continue;
        line += line.empty() ? "Passed over: " : ", ";
        line += ReasonWords(reason, count);
        if (reason != PassedOver::Reason::CouldNotList)
            continue;
        line += " (";
        for (const auto& [error, times] : passed.listErrors())
            line += (line.back() == '(' ? "" : ", ") + ErrorName(error) + " " + decimal(times);
        line += ")";
    }
    return line;
}

std::string_view ReasonName(PassedOver::Reason reason)
{
    switch (reason) {
    case PassedOver::Reason::CouldNotList: return "could_not_list";
    case PassedOver::Reason::OtherFilesystem: return "other_filesystem";
    case PassedOver::Reason::Link: return "link";
    case PassedOver::Reason::ReparsePoint: return "reparse_point";
    case PassedOver::Reason::TooDeep: return "too_deep";
    case PassedOver::Reason::Vanished: return "vanished";
    case PassedOver::Reason::SubfoldersOff: return "subfolders_off";
    }
    return "";
}

std::string ReasonWords(PassedOver::Reason reason, double count)
{
    const std::string n = decimal(count);
    const bool one = count == 1;
    switch (reason) {
    case PassedOver::Reason::CouldNotList: return n + (one ? " folder" : " folders") + " could not be listed";
    case PassedOver::Reason::OtherFilesystem: return n + " on another filesystem";
    case PassedOver::Reason::Link: return n + (one ? " link" : " links") + " to a folder";
    case PassedOver::Reason::ReparsePoint: return n + (one ? " reparse point" : " reparse points");
    case PassedOver::Reason::TooDeep: return n + " too deep";
    case PassedOver::Reason::Vanished: return n + " vanished";
    case PassedOver::Reason::SubfoldersOff: return n + " not entered (subfolders off)";
    }
    return n;
}

}  // namespace ombrix
