// bench-scan-window: the same walk shown in the scan window (offscreen) and run
// by `ombrix-scan --quiet`, medians and their ratio; then the responsiveness of
// the window during and after a scan with very many findings.
//
//   bench-scan-window --signatures FILE --scanner PATH [--runs N] TREE [MANY-TREE]
//
// Files are never removed: the window runs with automatic repair off.

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <QTreeView>

#include "ScanView.h"
#include "frmScan.h"
#include "mFileSearch.h"

extern char** environ;

namespace {

using namespace ombrix;
using Clock = std::chrono::steady_clock;

constexpr const char* kRecordKey = "Software\\OmbrixBench";

struct Options {
    std::string signatures;
    std::string scanner;
    std::string tree;
    std::string manyTree;
    int runs = 11;
};

class NoMainWindow final : public MainWindowLink {
public:
    void showMainWindow() override {}
    bool closedForGood() const override { return false; }
    std::string regpath() const override { return kRecordKey; }
};

// The end-of-run message would wait for a person; the bench answers at once.
class AnsweredMessageBox final : public MessageBox {
public:
    void show(const std::string&) override {}
};

class NoFileManager final : public FileManager {
public:
    void open(const std::string&) override {}
};

// Passes everything on to the window and times each yield.
class TimedView final : public ScanFormView {
public:
    explicit TimedView(ScanView& view) : view_(view) {}
    void stateChanged() override { view_.stateChanged(); }
    void processEvents() override
    {
        const auto start = Clock::now();
        view_.processEvents();
        longestYield = std::max(longestYield, Clock::now() - start);
    }
    void hideWindow() override { view_.hideWindow(); }
    void setScanRunning(bool running) override { view_.setScanRunning(running); }
    Clock::duration longestYield{};

private:
    ScanView& view_;
};

double milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

[[noreturn]] void fail(const std::string& message)
{
    std::fprintf(stderr, "bench-scan-window: %s\n", message.c_str());
    std::exit(2);
}

Options parseOptions(int argc, char** argv)
{
    Options options;
    std::vector<std::string> trees;
    for (int i = 1; i < argc; ++i) {
        const std::string word = argv[i];
        const auto value = [&] {
            if (i + 1 >= argc)
                fail(word + " needs a value");
            return std::string(argv[++i]);
        };
        if (word == "--signatures")
            options.signatures = value();
        else if (word == "--scanner")
            options.scanner = value();
        else if (word == "--runs")
            options.runs = std::max(1, std::atoi(value().c_str()));
        else if (!word.empty() && word.front() == '-')
            fail("unknown option " + word);
        else
            trees.push_back(word);
    }
    if (options.signatures.empty() || options.scanner.empty() || trees.empty() || trees.size() > 2)
        fail("usage: bench-scan-window --signatures FILE --scanner PATH [--runs N] TREE [MANY-TREE]");
    options.tree = trees[0];
    if (trees.size() == 2)
        options.manyTree = trees[1];
    return options;
}

// One scan through the terminal front end, from start to exit.
double headlessRun(const Options& options, const std::string& tree)
{
    std::vector<std::string> words{options.scanner, "--quiet",  "--signatures", options.signatures,
                                   "--record",      kRecordKey, tree};
    std::vector<char*> argv;
    for (std::string& word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t quiet;
    posix_spawn_file_actions_init(&quiet);
    posix_spawn_file_actions_addopen(&quiet, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    const auto start = Clock::now();
    pid_t child = 0;
    const int failed = posix_spawn(&child, argv[0], &quiet, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&quiet);
    if (failed)
        fail("cannot start " + options.scanner);
    int status = 0;
    waitpid(child, &status, 0);
    const auto elapsed = Clock::now() - start;
    if (!WIFEXITED(status) || WEXITSTATUS(status) > 1)
        fail(options.scanner + " failed on " + tree);
    return milliseconds(elapsed);
}

struct Window {
    NoMainWindow mainWindow;
    AnsweredMessageBox messages;
    NoFileManager fileManager;
    frmScan form{mainWindow, messages, fileManager};
    ScanView view{form};
    TimedView timed{view};

    Window()
    {
        form.ScanSubFolders = 1;
        view.show();
        form.attachView(&timed);
    }

    double run(const std::string& tree)
    {
        std::string drive = tree;
        timed.longestYield = {};
        const auto start = Clock::now();
        form.ScanSystem(drive, false);
        const auto elapsed = Clock::now() - start;
        QCoreApplication::processEvents();
        return milliseconds(elapsed);
    }
};

// Alternates the two so that a busy machine slows both alike.
void compare(const Options& options, Window& window, const std::string& tree, const char* title)
{
    std::vector<double> shown;
    std::vector<double> headless;
    std::vector<double> longest;
    for (int i = -2; i < options.runs; ++i) {
        const double windowMs = window.run(tree);
        const double headlessMs = headlessRun(options, tree);
        if (i < 0)
            continue;
        shown.push_back(windowMs);
        headless.push_back(headlessMs);
        longest.push_back(milliseconds(window.timed.longestYield));
    }
    const double shownMedian = median(shown);
    const double headlessMedian = median(headless);
    std::printf("%s\n", title);
    std::printf("  scan window (offscreen)   median %8.1f ms\n", shownMedian);
    std::printf("  ombrix-scan --quiet       median %8.1f ms\n", headlessMedian);
    std::printf("  ratio window / headless          %8.2f   (goal: at most 1.20)\n", shownMedian / headlessMedian);
    std::printf("  rows %zu, longest yield (median of runs) %.1f ms\n", window.form.findings().size(),
                median(longest));
}

template <typename Action>
double timed(Action action)
{
    const auto start = Clock::now();
    action();
    return milliseconds(Clock::now() - start);
}

// What a person does with a long list after the scan: jump to its end, click
// one row (which deselects all others), open the menu's target.
void listResponse(Window& window)
{
    QTreeView* list = window.view.listView1();
    const double toEnd = timed([&] {
        list->scrollToBottom();
        list->viewport()->repaint();
    });
    const QModelIndex last = list->model()->index(list->model()->rowCount() - 1, 0);
    const double click = timed([&] {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(last).center());
        list->viewport()->repaint();
    });
    std::printf("  after the run: scroll to the end %.1f ms, click one row %.1f ms (selected row %zu)\n", toEnd,
                click, window.form.selectedRow());
}

}  // namespace

int main(int argc, char** argv)
{
    const Options options = parseOptions(argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Every scan records its results: keep them out of the user's own store.
    const std::string store = "/tmp/bench-scan-window-" + std::to_string(getpid()) + ".db";
    setenv("OMBRIX_SETTINGS", store.c_str(), 1);
    mFileSearch::SetSignatureFile(options.signatures);

    QApplication app(argc, argv);
    {
        Window window;
        compare(options, window, options.tree, ("Walk of " + options.tree).c_str());
    }
    if (!options.manyTree.empty()) {
        Window window;
        compare(options, window, options.manyTree, ("Many findings: " + options.manyTree).c_str());
        listResponse(window);
    }
    for (const char* suffix : {"", "-wal", "-shm"})
        std::remove((store + suffix).c_str());
    return 0;
}
