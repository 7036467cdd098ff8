#include "TerminalReport.h"

namespace ombrix::update {

namespace {

std::string kibibytes(std::uint64_t bytes)
{
    return std::to_string((bytes + 1023) / 1024) + " KiB";
}

}  // namespace

TerminalReport::~TerminalReport()
{
    // The outcome follows on a clean line.
    if (drawn_ > 0)
        draw("");
}

void TerminalReport::step(const std::string& what)
{
    step_ = what;
    draw(step_ + "...");
}

void TerminalReport::progress(std::uint64_t done, std::uint64_t total)
{
    if (done == 0)
        return;
    std::string line = step_ + ": " + kibibytes(done);
    if (total > 0)
        line += " of " + kibibytes(total) + " (" + std::to_string(done * 100 / total) + " %)";
    draw(line);
}

void TerminalReport::draw(const std::string& line)
{
    if (!show_ || (line == shown_ && drawn_ > 0))
        return;
    std::string text = '\r' + line;
    if (line.size() < drawn_)
        text += std::string(drawn_ - line.size(), ' ') + '\r' + line;
    std::fputs(text.c_str(), stderr);
    std::fflush(stderr);
    drawn_ = line.size();
    shown_ = line;
}

}  // namespace ombrix::update
