// update: fetches a signed release and the newer signature list it names, checks
// them and installs the list where the program reads it. Started by "Check for
// Updates", from a terminal or by a scheduler.
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "Desktop.h"
#include "Paths.h"
#include "TerminalReport.h"
#include "UpdateMetrics.h"
#include "UpdateSettings.h"
#include "Updater.h"

namespace {

using namespace ombrix::update;

constexpr const char* kUsage =
    "usage: update [--url URL] [--timeout SECONDS] [--speed-limit BYTES] [--speed-time SECONDS]\n"
    "              [--metrics-file PATH] [--log] [--quiet | --window]\n"
    "Installs the newer signature list that the release at URL names, when a trusted key\n"
    "signed the release (URL.sig) and it is still valid. URL defaults to the stored value\n"
    "\"Update URL\", then to \"url\" in update.conf. --timeout bounds the whole update\n"
    "(default 300 s); a download slower than --speed-limit bytes/s (default 1024) for\n"
    "--speed-time seconds (default 30) is abandoned. --quiet prints only failures;\n"
    "--window shows the progress window, as when started from the desktop.\n"
    "--metrics-file writes the updater's figures to PATH in the Prometheus text format;\n"
    "--log leaves one entry in the system log (the journal); on Windows every run\n"
    "writes one to the Application event log.\n"
    "Exit status: 0 updated, 1 already up to date, 2 failed.\n";

[[noreturn]] void usageError(const std::string& message)
{
    std::fprintf(stderr, "update: %s\n%s", message.c_str(), kUsage);
    std::exit(kFailed);
}

long wholeNumber(const std::string& option, const std::string& text, long highest)
{
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 || value > highest)
        usageError(option + " needs a whole number from 1 to " + std::to_string(highest) + ": " + text);
    return value;
}

// The result is stored as soon as it is known, not when a window is closed.
Outcome checkAndRecord(const UpdateOptions& options, UpdateReport& report)
{
    const Outcome outcome = RunUpdate(options, report);
    RecordCheck(outcome);
    return outcome;
}

}  // namespace

int main(int argc, char** argv)
{
    UpdateOptions options;
    options.folders = BuiltUpdateFolders(ombrix::ProgramFolder());
    bool quiet = false;
    bool window = false;
    bool haveUrl = false;
    bool log = LogsEveryUpdate();
    std::string metricsFile;
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
            options.totalSeconds = wholeNumber(word, value(), 86400);
        } else if (word == "--speed-limit") {
            options.lowSpeedBytes = wholeNumber(word, value(), 1L << 30);
        } else if (word == "--speed-time") {
            options.lowSpeedSeconds = wholeNumber(word, value(), 86400);
        } else if (word == "--metrics-file") {
            metricsFile = value();
            if (metricsFile.empty())
                usageError("--metrics-file needs a file name");
        } else if (word == "--log") {
            log = true;
        } else if (word == "--quiet") {
            quiet = true;
        } else if (word == "--window") {
            window = true;
        } else if (word == "--help" || word == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else {
            usageError("unknown argument " + word);
        }
    }
    if (quiet && window)
        usageError("--quiet and --window exclude each other");
    if (!haveUrl)
        options.url = StoredUpdateUrl();

    Outcome outcome;
    if (window || (!quiet && StartedFromDesktop())) {
        outcome = UpdateInWindow(argc, argv, [&](UpdateReport& report) { return checkAndRecord(options, report); });
    } else {
        TerminalReport report(!quiet && TerminalShowsProgress());
        outcome = checkAndRecord(options, report);
    }
    if (outcome.status == kFailed)
        std::fprintf(stderr, "%s\n", outcome.message.c_str());
    else if (!quiet)
        std::printf("%s\n", outcome.message.c_str());
    if (const std::string why = ReportUpdate(outcome, options.folders, log, metricsFile); !why.empty()) {
        std::fprintf(stderr, "update: cannot write the metrics file %s: %s\n", metricsFile.c_str(), why.c_str());
        return kFailed;
    }
    return outcome.status;
}
