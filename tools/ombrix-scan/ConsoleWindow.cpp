#include "ConsoleWindow.h"

#include "TerminalText.h"

namespace ombrix {

ConsoleWindow::ConsoleWindow(Options options)
    : options_(std::move(options)),
      labels_{"Fixed:  0", "Dirs:  0", "Files:  0", "Scanning for xxxx items.", "Detected:  0", "Current Item:",
              "Current: 0"}
{
}

void ConsoleWindow::setLabel(ScanLabel label, const std::string& text)
{
    labels_[std::size_t(label)] = text;
    if (label == ScanLabel::Label6)
        resultMessage_ = text;
}

std::string ConsoleWindow::label(ScanLabel label) const
{
    return labels_[std::size_t(label)];
}

std::size_t ConsoleWindow::addFinding(const ThreatName& virusName, const std::string& iconKey)
{
    rows_.push_back({virusName, {}, iconKey, false});
    return rows_.size();
}

void ConsoleWindow::setFindingPath(std::size_t row, const std::string& fullPath)
{
    Row& r = rows_[row - 1];
    r.fullPath = fullPath;
    if (!options_.printFindings)
        return;
    clearProgress();
    print(r.virusName.text());
    std::fputc('\t', stdout);
    print(r.fullPath);
    std::fputc('\n', stdout);
}

// A name from the disk or the list could hold bytes that move the cursor or
// rewrite lines on a terminal; a pipe gets the bytes as they are.
void ConsoleWindow::print(const std::string& name)
{
    if (!options_.findingsToTerminal) {
        std::fwrite(name.data(), 1, name.size(), stdout);
        return;
    }
    const std::string shown = terminalText(name, options_.utf8Terminal);
    std::fwrite(shown.data(), 1, shown.size(), stdout);
}

void ConsoleWindow::yield()
{
    if (!options_.showProgress)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (progressShown_ && now - lastDraw_ < std::chrono::milliseconds(100))
        return;
    lastDraw_ = now;
    drawProgress();
}

void ConsoleWindow::drawProgress()
{
    std::fflush(stdout);
    std::string line = label(ScanLabel::Label2) + "  " + label(ScanLabel::Label3) + "  " +
                       label(ScanLabel::Label5) + "  ";
    // Keep the line within a common terminal width so it redraws in place.
    constexpr std::size_t kWidth = 79;
    const std::string folder = terminalText(labels_[std::size_t(ScanLabel::Label7)], options_.utf8Terminal);
    const std::size_t room = line.size() < kWidth ? kWidth - line.size() : 0;
    if (folder.size() <= room)
        line += folder;
    else if (room > 3)
        line += "..." + folder.substr(folder.size() - (room - 3));
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
    progressShown_ = true;
}

void ConsoleWindow::clearProgress()
{
    if (!progressShown_)
        return;
    std::fputs("\r\033[K", stderr);
    std::fflush(stderr);
    progressShown_ = false;
}

}  // namespace ombrix
