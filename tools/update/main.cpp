// update: fetches a newer signature list, checks its signature and version, and
// installs it beside the program. Started by "Check for Updates", from a
// terminal or by a scheduler.
#include <fcntl.h>
#include <unistd.h>

#include <QApplication>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "Paths.h"
#include "TerminalReport.h"
#include "UpdateSettings.h"
#include "UpdateWindow.h"
#include "Updater.h"

namespace {

using namespace ombrix::update;

constexpr const char* kUsage =
    "usage: update [--url URL] [--timeout SECONDS] [--quiet | --window]\n"
    "Installs a newer signature list from URL (default: the stored value \"Update URL\")\n"
    "when a trusted key signed it (URL.sig). --quiet prints only failures; --window shows\n"
    "the progress window, as when started from the desktop without a terminal.\n"
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

// The result is stored as soon as it is known, not when a window is closed.
Outcome checkAndRecord(const UpdateOptions& options, UpdateReport& report)
{
    const Outcome outcome = RunUpdate(options, report);
    RecordCheck(outcome);
    return outcome;
}

// Started from the main window or a desktop menu: a display, and no controlling
// terminal (the main window starts programs in a session of their own).
bool startedFromDesktop()
{
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY"))
        return false;
    const int terminal = ::open("/dev/tty", O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (terminal < 0)
        return true;
    ::close(terminal);
    return false;
}

// The update runs on a thread of its own while the window stays responsive;
// returns once the user has closed the window.
Outcome updateInWindow(const UpdateOptions& options, int& argc, char** argv)
{
    QApplication app(argc, argv);
    UpdateWindow window;
    QObject::connect(&window, &UpdateWindow::closed, &app, &QApplication::quit);
    window.show();
    Outcome outcome;
    std::thread worker([&] {
        outcome = checkAndRecord(options, window);
        window.finish(outcome);
    });
    app.exec();
    worker.join();
    return outcome;
}

}  // namespace

int main(int argc, char** argv)
{
    UpdateOptions options;
    options.programFolder = ombrix::ProgramFolder();
    bool quiet = false;
    bool window = false;
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
    if (window || (!quiet && startedFromDesktop())) {
        outcome = updateInWindow(options, argc, argv);
    } else {
        TerminalReport report(!quiet && isatty(STDERR_FILENO));
        outcome = checkAndRecord(options, report);
    }
    if (outcome.status == kFailed)
        std::fprintf(stderr, "%s\n", outcome.message.c_str());
    else if (!quiet)
        std::printf("%s\n", outcome.message.c_str());
    return outcome.status;
}
