// ombrix-quarantine: lists, restores and lets go of the files Ombrix removed.
#include <charconv>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "JsonText.h"
#include "Quarantine.h"
#include "Terminal.h"
#include "TerminalText.h"
#include "mRegistry.h"

namespace {

namespace quarantine = ombrix::quarantine;

constexpr const char* kUsage =
    "usage: ombrix-quarantine list [--json]\n"
    "       ombrix-quarantine restore [--to PATH] [--parents] ID...\n"
    "       ombrix-quarantine restore --all [--since TIME] [--parents]\n"
    "       ombrix-quarantine delete ID...\n"
    "       ombrix-quarantine purge --older-than DAYS\n"
    "       ombrix-quarantine limit [MEGABYTES]\n"
    "       ombrix-quarantine --help | --version\n"
    "Files that Ombrix removes wait in the quarantine until they are restored or let go.\n"
    "restore puts a file back where it was (or at PATH), never over what stands there;\n"
    "--parents makes the folders it needs. TIME is local, as list shows it: YYYY-MM-DD\n"
    "[HH:MM[:SS]]. limit shows or sets the quarantine's size limit (0: none); the oldest\n"
    "files go first. Exit status: 0 done, 1 something could not be done, 2 usage error.\n";

constexpr std::int64_t kSecond = 1000000000;

int usageError(const std::string& message)
{
    std::fprintf(stderr, "ombrix-quarantine: %s\n%s", message.c_str(), kUsage);
    return 2;
}

// A path in a message or a table, escaped when it goes to a terminal.
std::string shown(const std::string& path, std::FILE* stream)
{
    return ombrix::terminal::isTerminal(stream) ? ombrix::terminalText(path, ombrix::terminal::takesUtf8()) : path;
}

std::string localTime(std::int64_t nanoseconds)
{
    const std::time_t seconds = std::time_t(nanoseconds / kSecond);
    char text[32] = "?";
    if (const std::tm* local = std::localtime(&seconds))
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
    return text;
}

// "YYYY-MM-DD", "YYYY-MM-DD HH:MM" or "YYYY-MM-DD HH:MM:SS" (a T for the blank
// too), local time, as nanoseconds since 1970; nullopt for anything else.
std::optional<std::int64_t> parseTime(const std::string& text)
{
    std::tm local{};
    int fields[6] = {0, 0, 0, 0, 0, 0};
    const char* at = text.data();
    const char* end = text.data() + text.size();
    const char separators[] = {'-', '-', ' ', ':', ':'};
    int read = 0;
    for (; read < 6; ++read) {
        const auto [next, error] = std::from_chars(at, end, fields[read]);
        if (error != std::errc() || next == at)
            return std::nullopt;
        at = next;
        if (at == end || read == 5)
            break;
        const char separator = separators[read];
        if (*at != separator && !(separator == ' ' && *at == 'T'))
            return std::nullopt;
        ++at;
    }
    const auto within = [&](int field, int low, int high) { return fields[field] >= low && fields[field] <= high; };
    const bool inRange = within(1, 1, 12) && within(2, 1, 31) && within(3, 0, 23) && within(4, 0, 59) && within(5, 0, 60);
    if (at != end || (read != 2 && read != 4 && read != 5) || !inRange)
        return std::nullopt;
    local.tm_year = fields[0] - 1900;
    local.tm_mon = fields[1] - 1;
    local.tm_mday = fields[2];
    local.tm_hour = fields[3];
    local.tm_min = fields[4];
    local.tm_sec = fields[5];
    local.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&local);
    // mktime moves a day the month lacks into the next month: such a day is no time.
    const bool realDay = local.tm_mday == fields[2] && local.tm_mon == fields[1] - 1;
    // Entries keep nanoseconds in 64 bits: times up to the year 2262.
    if (seconds == std::time_t(-1) || !realDay || std::int64_t(seconds) > INT64_MAX / kSecond)
        return std::nullopt;
    return std::int64_t(seconds) * kSecond;
}

std::optional<std::uint64_t> parseCount(const std::string& text)
{
    std::uint64_t number = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return number;
}

void printTable(const std::vector<quarantine::Entry>& entries)
{
    if (entries.empty())
        return;
    std::printf("%-29s %-19s %12s  %-20s %s\n", "ID", "TAKEN", "SIZE", "THREAT", "PATH");
    for (const quarantine::Entry& e : entries)
        std::printf("%-29s %-19s %12llu  %-20s %s\n", e.id.c_str(), localTime(e.takenAt).c_str(),
                    static_cast<unsigned long long>(e.size), shown(e.threat, stdout).c_str(),
                    shown(e.originalPath, stdout).c_str());
}

void printJson(const std::vector<quarantine::Entry>& entries)
{
    std::string out = "[";
    for (const quarantine::Entry& e : entries) {
        out.append(out.size() == 1 ? "\n{" : ",\n{");
        const auto text = [&](const char* name, const std::string& value, bool first = false) {
            out.append(first ? "\"" : ",\"").append(name).append("\":");
            ombrix::appendJsonString(out, value);
        };
        const auto number = [&](const char* name, auto value) {
            out.append(",\"").append(name).append("\":").append(std::to_string(value));
        };
        text("id", e.id, true);
        text("path", e.originalPath);
        number("size", e.size);
        text("sha256", e.sha256);
        number("mode", e.mode);
        text("owner", e.owner);
        text("group", e.group);
        number("modified_ns", e.times.modified);
        number("accessed_ns", e.times.accessed);
        number("changed_ns", e.times.changed);
        text("threat", e.threat);
        text("list_version", e.listVersion);
        text("road", e.road);
        text("program", e.program);
        number("taken_ns", e.takenAt);
        text("taken", localTime(e.takenAt));
        text("store", e.store);
        out.append(e.ownFileSystem ? ",\"own_file_system\":true}" : ",\"own_file_system\":false}");
    }
    out.append(entries.empty() ? "]\n" : "\n]\n");
    std::fwrite(out.data(), 1, out.size(), stdout);
}

// One failure message per entry that could not be done; the rest go on.
bool report(const std::string& verb, const std::string& id, const quarantine::Result& result)
{
    std::string why;
    switch (result.outcome) {
    case quarantine::Outcome::Done:
        return true;
    case quarantine::Outcome::NoSuchEntry:
        why = "no such entry";
        break;
    case quarantine::Outcome::PathTaken:
        why = "something stands at " + shown(result.path, stderr) + " (restore it elsewhere with --to PATH)";
        break;
    case quarantine::Outcome::NoParent:
        why = "the folder of " + shown(result.path, stderr) + " is missing (make it with --parents)";
        break;
    case quarantine::Outcome::Failed:
        why = shown(result.path, stderr) + ": " + result.why;
        break;
    }
    std::fprintf(stderr, "ombrix-quarantine: cannot %s %s: %s\n", verb.c_str(), id.c_str(), why.c_str());
    return false;
}

int restore(const std::vector<std::string>& args)
{
    quarantine::RestoreOptions options;
    bool all = false;
    std::optional<std::int64_t> since;
    std::vector<std::string> ids;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& word = args[i];
        const bool hasValue = i + 1 < args.size();
        if (word == "--to" || word == "--since") {
            if (!hasValue)
                return usageError(word + " needs a value");
            const std::string& value = args[++i];
            if (word == "--to")
                options.to = value;
            else if (!(since = parseTime(value)))
                return usageError("not a time (YYYY-MM-DD [HH:MM[:SS]]): " + value);
        } else if (word == "--parents") {
            options.makeParents = true;
        } else if (word == "--all") {
            all = true;
        } else if (word.size() > 1 && word.front() == '-') {
            return usageError("unknown option " + word);
        } else {
            ids.push_back(word);
        }
    }
    if (all == !ids.empty())
        return usageError(all ? "--all takes no ID" : "no ID given");
    if (since && !all)
        return usageError("--since goes with --all");
    if (options.to && ids.size() != 1)
        return usageError("--to goes with exactly one ID");
    if (all)
        for (const quarantine::Entry& entry : quarantine::List())
            if (!since || entry.takenAt >= *since)
                ids.push_back(entry.id);
    bool done = true;
    for (const std::string& id : ids)
        done = report("restore", id, quarantine::Restore(id, options)) && done;
    return done ? 0 : 1;
}

int limit(const std::vector<std::string>& args)
{
    if (args.empty()) {
        std::printf("%llu\n", static_cast<unsigned long long>(quarantine::SizeLimit() / (1024 * 1024)));
        return 0;
    }
    const std::optional<std::uint64_t> megabytes = parseCount(args[0]);
    if (!megabytes || *megabytes > UINT64_MAX / (1024 * 1024))
        return usageError("not a number of megabytes: " + args[0]);
    if (!quarantine::SetSizeLimit(*megabytes * 1024 * 1024)) {
        const std::string why = ombrix::mRegistry::LastRegError();
        std::fprintf(stderr, "ombrix-quarantine: cannot store the limit in the settings store %s%s\n",
                     shown(ombrix::mRegistry::SettingsFile(), stderr).c_str(), why.empty() ? "" : (": " + why).c_str());
        return 1;
    }
    quarantine::EnforceSizeLimit();
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    ombrix::terminal::prepare();
    const std::vector<std::string> words(argv + 1, argv + argc);
    if (words.empty())
        return usageError("no command given");
    const std::string& command = words[0];
    const std::vector<std::string> args(words.begin() + 1, words.end());
    if (command == "--help" || command == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (command == "--version") {
        std::puts("ombrix-quarantine " OMBRIX_VERSION);
        return 0;
    }
    if (command == "list") {
        if (args.size() > 1 || (args.size() == 1 && args[0] != "--json"))
            return usageError("list takes only --json");
        const std::vector<quarantine::Entry> entries = quarantine::List();
        if (args.empty())
            printTable(entries);
        else
            printJson(entries);
        return 0;
    }
    if (command == "restore")
        return restore(args);
    if (command == "delete") {
        if (args.empty())
            return usageError("no ID given");
        bool done = true;
        for (const std::string& id : args)
            done = report("delete", id, quarantine::Delete(id)) && done;
        return done ? 0 : 1;
    }
    if (command == "purge") {
        const std::optional<std::uint64_t> days = args.size() == 2 && args[0] == "--older-than"
                                                      ? parseCount(args[1])
                                                      : std::nullopt;
        if (!days || *days > 100000)
            return usageError("purge needs --older-than DAYS");
        const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                     std::chrono::system_clock::now().time_since_epoch())
                                     .count();
        quarantine::PurgeTakenBefore(now - std::int64_t(*days) * 86400 * kSecond);
        return 0;
    }
    if (command == "limit" && args.size() <= 1)
        return limit(args);
    return usageError(command == "limit" ? "limit takes at most one number" : "unknown command: " + command);
}
