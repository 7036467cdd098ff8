// ombrix-scan: one scan from a terminal, on the same engine as the scan window.

#include <cerrno>
#include <charconv>
#include <cstring>
#include <cstdlib>
#include <cstdio>
#include <optional>
#include <string>

#include "ConsoleWindow.h"
#include "JsonText.h"
#include "OptionValue.h"
#include "Paths.h"
#include "ScanReport.h"
#include "ScanSystem.h"
#include "Terminal.h"
#include "TerminalText.h"
#include "Termination.h"
#include "Text.h"
#include "mFileSearch.h"
#include "mRegistry.h"

namespace {

using ombrix::ConsoleWindow;

constexpr const char* kUsage =
    "usage: ombrix-scan [--signatures FILE] [--no-subfolders] [--remove] [--record KEYPATH]\n"
    "                   [--threads N] [--metrics-file PATH] [--log] [--json] [--quiet] FOLDER\n"
    "       ombrix-scan --help | --version\n"
    "Scans FOLDER for files named in the signature list (default: ombrix.ini beside the\n"
    "program). --remove removes what is found (into the quarantine unless the stored\n"
    "value Quarantine is 0); --record stores the seven result values\n"
    "under KEYPATH in the settings store; --threads N reads folders ahead of the walk on\n"
    "N helper threads (0: none); --metrics-file writes the scan's figures to PATH in the\n"
    "Prometheus text format; --log leaves one entry in the system log (the journal).\n"
    "Exit status: 0 nothing found, 1 found, 2 error,\n"
    "3 canceled by SIGINT or SIGTERM.\n";

// Exit status of a scan that SIGINT or SIGTERM stopped before it had walked everything.
constexpr int kCanceled = 3;

struct Arguments {
    std::string folder;
    std::string signatures;
    ConsoleWindow::Options window;
    std::optional<unsigned> threads;
    std::string metricsFile;
    bool log = false;
    bool json = false;
    bool quiet = false;
};

[[noreturn]] void usageError(const std::string& message)
{
    std::fprintf(stderr, "ombrix-scan: %s\n%s", message.c_str(), kUsage);
    std::exit(2);
}

unsigned threadCount(const std::string& text)
{
    unsigned count = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
    if (error != std::errc() || end != text.data() + text.size() || count > 256)
        usageError("--threads needs a number from 0 to 256: " + text);
    return count;
}

Arguments parseArguments(int argc, char** argv)
{
    Arguments args;
    args.signatures = ombrix::ProgramFolder() + ombrix::kPathSeparator + "ombrix.ini";
    bool haveFolder = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const auto value = [&]() -> std::string {
            if (i + 1 >= argc)
                usageError(word + " needs a value");
            return argv[++i];
        };
        if (!optionsEnded && word == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && word == "--signatures") {
            args.signatures = value();
        } else if (!optionsEnded && word == "--no-subfolders") {
            args.window.scanSubFolders = 0;
        } else if (!optionsEnded && word == "--remove") {
            args.window.autoRepair = 1;
        } else if (!optionsEnded && word == "--record") {
            args.window.regpath = value();
        } else if (!optionsEnded && word == "--metrics-file") {
            args.metricsFile = value();
            if (args.metricsFile.empty())
                usageError("--metrics-file needs a file name");
        } else if (!optionsEnded && word == "--log") {
            args.log = true;
        } else if (!optionsEnded && word == "--json") {
            args.json = true;
        } else if (!optionsEnded && word == "--threads") {
            args.threads = threadCount(value());
        } else if (!optionsEnded && word == "--quiet") {
            args.quiet = true;
        } else if (!optionsEnded && word == "--version") {
            std::puts("ombrix-scan " OMBRIX_VERSION);
            std::exit(0);
        } else if (!optionsEnded && (word == "--help" || word == "-h")) {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if (!optionsEnded && word.size() > 1 && word.front() == '-') {
            usageError("unknown option " + word);
        } else if (haveFolder) {
            usageError("only one FOLDER may be given");
        } else {
            args.folder = word;
            haveFolder = true;
        }
    }
    if (!haveFolder)
        usageError("no FOLDER given");
    // The scan takes a folder exactly as named; a blank one is a slip, never the root.
    if (ombrix::trimSpaces(args.folder).empty())
        usageError("FOLDER is empty or blank");
    args.window.printFindings = !args.json && !args.quiet;
    args.window.findingsToTerminal = ombrix::terminal::isTerminal(stdout);
    args.window.showProgress = !args.quiet && ombrix::terminal::isTerminal(stderr);
    args.window.utf8Terminal = ombrix::terminal::takesUtf8();
    return args;
}

// Every reason that occurred: its count, its first paths and, for folders that
// could not be listed, the count of each error.
std::string passedOverJson(const ombrix::PassedOver& passed)
{
    using ombrix::decimal;
    std::string out = "[";
    for (const ombrix::PassedOver::Reason reason : ombrix::kPassReasons) {
        if (passed.count(reason) == 0)
            continue;
        out += out.size() > 1 ? ",{\"reason\":\"" : "{\"reason\":\"";
        out += std::string(ombrix::ReasonName(reason)) + "\",\"count\":" + decimal(passed.count(reason));
        if (reason == ombrix::PassedOver::Reason::CouldNotList) {
            out += ",\"errors\":{";
            for (const auto& [error, count] : passed.listErrors()) {
                if (out.back() != '{')
                    out += ',';
                ombrix::appendJsonString(out, ombrix::ErrorName(error));
                out += ':';
                out += decimal(count);
            }
            out += "}";
        }
        out += ",\"paths\":[";
        for (const auto& entry : passed.paths(reason)) {
            out += out.back() == '[' ? "{\"path\":" : ",{\"path\":";
            ombrix::appendJsonString(out, entry.path);
            if (entry.error != 0)
                out += ",\"error\":" + ombrix::jsonString(ombrix::ErrorName(entry.error));
            out += "}";
        }
        out += "]}";
    }
    return out + "]";
}

void printJson(const ConsoleWindow& window, const ombrix::ScanSummary& summary)
{
    using ombrix::decimal;
    using ombrix::jsonString;
    std::string out = "{\"looked_for\":" + decimal(summary.lookedFor) + ",\"dirs\":" + decimal(summary.dirs) +
                      ",\"files\":" + decimal(summary.files) + ",\"detected\":" + decimal(summary.rows) +
                      ",\"removed\":" + decimal(summary.removed) +
                      ",\"still_present\":" + decimal(summary.stillPresent) +
                      ",\"canceled\":" + (summary.canceled ? "true" : "false") +
                      ",\"message\":" + jsonString(window.resultMessage()) +
                      ",\"passed_over\":" + passedOverJson(summary.passedOver) + ",\"findings\":[";
    // Written out row by row: every row of one entry shares its threat name,
    // which the text would otherwise hold once per row.
    constexpr std::size_t kChunk = 1 << 16;
    bool first = true;
    for (const auto& row : window.rows()) {
        out.append(first ? "\n{\"threat\":" : ",\n{\"threat\":");
        first = false;
        ombrix::appendJsonString(out, row.virusName.text());
        out.append(",\"path\":");
        ombrix::appendJsonString(out, row.fullPath);
        out.append(row.iconKey == "greenbug" ? ",\"present\":false}" : ",\"present\":true}");
        if (out.size() >= kChunk) {
            std::fwrite(out.data(), 1, out.size(), stdout);
            out.clear();
        }
    }
    out += "]}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
}

void printSummary(const ConsoleWindow& window, const ombrix::ScanSummary& summary)
{
    using ombrix::ScanLabel;
    for (const ScanLabel label : {ScanLabel::Label2, ScanLabel::Label3, ScanLabel::Label5, ScanLabel::Label1})
        std::printf("%s\n", window.label(label).c_str());
    std::printf("%s\n", window.resultMessage().c_str());
    if (const std::string passed = ombrix::PassedOverLine(summary.passedOver); !passed.empty())
        std::printf("%s\n", passed.c_str());
}

int exitStatus(const ombrix::ScanSummary& summary)
{
    if (summary.unreached > 0 || summary.unrecorded > 0)
        return 2;
    if (summary.canceled)
        return kCanceled;
    return summary.rows > 0 ? 1 : 0;
}

// A file or folder name in a message on stderr, escaped when that is a terminal.
std::string named(const std::string& name, const Arguments& args)
{
    return ombrix::terminal::isTerminal(stderr) ? ombrix::terminalText(name, args.window.utf8Terminal) : name;
}

// Why the metrics file could not be written where it is named, found before a
// long scan rather than after it: its folder must be an existing folder.
std::string metricsFolderProblem(const std::string& file)
{
    if (file.empty())
        return {};
    const std::size_t slash = file.find_last_of(ombrix::kPathSeparator);
    const std::string folder = slash == std::string::npos ? "." : file.substr(0, slash + 1);
    return ombrix::terminal::folderProblem(folder);
}

}  // namespace

int main(int argc, char** argv)
{
    ombrix::terminal::prepare();
    Arguments args = parseArguments(argc, argv);
    // The scan itself treats an unreadable list as empty and a folder it cannot
    // open as empty; from a terminal both are errors.
    if (const std::string why = ombrix::mFileSearch::OpenSignatureFile(args.signatures); !why.empty()) {
        std::fprintf(stderr, "ombrix-scan: cannot read the signature list %s: %s\n",
                     named(args.signatures, args).c_str(), why.c_str());
        return 2;
    }
    if (const std::string why = metricsFolderProblem(args.metricsFile); !why.empty()) {
        std::fprintf(stderr, "ombrix-scan: cannot write the metrics file %s: %s\n",
                     named(args.metricsFile, args).c_str(), why.c_str());
        return 2;
    }
    if (const std::string why = ombrix::terminal::folderProblem(args.folder); !why.empty()) {
        std::fprintf(stderr, "ombrix-scan: cannot scan the folder %s: %s\n", named(args.folder, args).c_str(),
                     why.c_str());
        return 2;
    }

    ombrix::mFileSearch::SetPrefetchThreads(args.threads);
    const std::string quarantine = ombrix::mRegistry::ReadRegString(ombrix::mRegistry::HKEY_CURRENT_USER,
                                                                    args.window.regpath.value_or(""), "Quarantine", "1");
    ombrix::mFileSearch::SetQuarantine(ombrix::OptionValue(quarantine) != 0);
    ombrix::mFileSearch::SetProgramName("ombrix-scan");
    ombrix::watchTermination();

    ConsoleWindow window(args.window);
    const ombrix::ScanSummary summary = ombrix::ScanSystem(window, args.folder, false);
    window.clearProgress();
    if (args.json)
        printJson(window, summary);
    else
        printSummary(window, summary);
    std::fflush(stdout);
    // A walk that missed folders has not scanned FOLDER: an error, not a result.
    if (summary.unreached > 0)
        std::fprintf(stderr, "ombrix-scan: %s folders could not be scanned: %s\n",
                     ombrix::decimal(summary.unreached).c_str(), std::strerror(EMFILE));
    if (summary.unrecorded > 0)
        std::fprintf(stderr, "ombrix-scan: cannot record the result values in the settings store %s: %s\n",
                     named(ombrix::mRegistry::SettingsFile(), args).c_str(), summary.recordError.c_str());
    int status = exitStatus(summary);
    if (args.log)
        ombrix::WriteSystemLog(ombrix::ScanLogEntry(summary, status, "ombrix-scan"));
    if (!args.metricsFile.empty()) {
        if (const std::string why = ombrix::WriteScanMetrics(summary, status, args.metricsFile); !why.empty()) {
            std::fprintf(stderr, "ombrix-scan: cannot write the metrics file %s: %s\n",
                         named(args.metricsFile, args).c_str(), why.c_str());
            status = 2;
        }
    }
    return status;
}
