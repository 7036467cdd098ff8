// ombrix-scan: one scan from a terminal, on the same engine as the scan window.

#include <charconv>
#include <cstdlib>
#include <cstdio>
#include <optional>
#include <string>

#include "ConsoleWindow.h"
#include "JsonText.h"
#include "OptionValue.h"
#include "Paths.h"
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
    "                   [--threads N] [--json] [--quiet] FOLDER\n"
    "       ombrix-scan --help | --version\n"
    "Scans FOLDER for files named in the signature list (default: ombrix.ini beside the\n"
    "program). --remove removes what is found (into the quarantine unless the stored\n"
    "value Quarantine is 0); --record stores the seven result values\n"
    "under KEYPATH in the settings store; --threads N reads folders ahead of the walk on\n"
    "N helper threads (0: none). Exit status: 0 nothing found, 1 found, 2 error,\n"
    "3 canceled by SIGINT or SIGTERM.\n";

// Exit status of a scan that SIGINT or SIGTERM stopped before it had walked everything.
constexpr int kCanceled = 3;

struct Arguments {
    std::string folder;
    std::string signatures;
    ConsoleWindow::Options window;
    std::optional<unsigned> threads;
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

void printJson(const ConsoleWindow& window, const ombrix::ScanSummary& summary)
{
    using ombrix::decimal;
    using ombrix::jsonString;
    std::string out = "{\"looked_for\":" + decimal(summary.lookedFor) + ",\"dirs\":" + decimal(summary.dirs) +
                      ",\"files\":" + decimal(summary.files) + ",\"detected\":" + decimal(summary.rows) +
                      ",\"removed\":" + decimal(summary.removed) +
                      ",\"still_present\":" + decimal(summary.stillPresent) +
                      ",\"canceled\":" + (summary.canceled ? "true" : "false") +
                      ",\"message\":" + jsonString(window.resultMessage()) + ",\"findings\":[";
    bool first = true;
    for (const auto& row : window.rows()) {
        out.append(first ? "\n{\"threat\":" : ",\n{\"threat\":");
        first = false;
        ombrix::appendJsonString(out, row.virusName);
        out.append(",\"path\":");
        ombrix::appendJsonString(out, row.fullPath);
        out.append(row.iconKey == "greenbug" ? ",\"present\":false}" : ",\"present\":true}");
    }
    out += "]}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
}

void printSummary(const ConsoleWindow& window)
{
    using ombrix::ScanLabel;
    for (const ScanLabel label : {ScanLabel::Label2, ScanLabel::Label3, ScanLabel::Label5, ScanLabel::Label1})
        std::printf("%s\n", window.label(label).c_str());
    std::printf("%s\n", window.resultMessage().c_str());
}

// A file or folder name in a message on stderr, escaped when that is a terminal.
std::string named(const std::string& name, const Arguments& args)
{
    return ombrix::terminal::isTerminal(stderr) ? ombrix::terminalText(name, args.window.utf8Terminal) : name;
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
        printSummary(window);
    std::fflush(stdout);
    if (summary.unrecorded > 0) {
        std::fprintf(stderr, "ombrix-scan: cannot record the result values in the settings store %s: %s\n",
                     named(ombrix::mRegistry::SettingsFile(), args).c_str(), summary.recordError.c_str());
        return 2;
    }
    if (summary.canceled)
        return kCanceled;
    return summary.rows > 0 ? 1 : 0;
}
