// update: fetches a newer signature list, checks its signature and version, and
// installs it beside the program. Started by "Check for Updates", from a
// terminal or by a scheduler.
#include <unistd.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Paths.h"
#include "TerminalReport.h"
#include "UpdateSettings.h"
#include "Updater.h"

namespace {

using namespace ombrix::update;

constexpr const char* kUsage =
    "usage: update [--url URL] [--timeout SECONDS] [--quiet]\n"
    "Installs a newer signature list from URL (default: the stored value \"Update URL\")\n"
    "when a trusted key signed it (URL.sig). --quiet prints only failures.\n"
    "Exit status: 0 updated, 1 already up to date, 2 failed.\n";

[[noreturn]] void usageError(const std::string& message)
{
    std::fprintf(stderr, "update: %s\n%s", message.c_str(), kUsage);
    std::exit(kFailed);
}

long seconds(const std::string& text)
{
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > 86400)
        usageError("--timeout needs a number of seconds from 1 to 86400: " + text);
    return value;
}

}  // namespace

int main(int argc, char** argv)
{
    UpdateOptions options;
    options.programFolder = ombrix::ProgramFolder();
    bool quiet = false;
    bool haveUrl = false;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                usageError(word + " needs a value");
            return argv[++i];
        };
        if (word == "--url") {
            options.url = value();
            haveUrl = true;
        } else if (word == "--timeout") {
            options.totalSeconds = seconds(value());
            options.connectSeconds = std::min(options.connectSeconds, options.totalSeconds);
        } else if (word == "--quiet") {
            quiet = true;
        } else if (word == "--help" || word == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            usageError("unknown argument " + word);
        }
    }
    if (!haveUrl)
        options.url = StoredUpdateUrl();

    Outcome outcome;
    {
        TerminalReport report(!quiet && isatty(STDERR_FILENO));
        outcome = RunUpdate(options, report);
    }
    RecordCheck(outcome);
    if (outcome.status == kFailed)
        std::fprintf(stderr, "%s\n", outcome.message.c_str());
    else if (!quiet)
        std::printf("%s\n", outcome.message.c_str());
    return outcome.status;
}
