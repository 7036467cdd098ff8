#pragma once

#include <cstdio>
#include <string>

#include "Updater.h"

namespace ombrix::update {

// A progress line on stderr that rewrites itself; silent when `show` is false
// (not a terminal, or --quiet).
class TerminalReport : public UpdateReport {
public:
    explicit TerminalReport(bool show) : show_(show) {}
    ~TerminalReport() override;

    void step(const std::string& what) override;
    void progress(std::uint64_t done, std::uint64_t total) override;

private:
    void draw(const std::string& line);

    bool show_;
    std::string step_;
    std::string shown_;
    std::size_t drawn_ = 0;  // length of the line on screen, to blank what a shorter one leaves
};

}  // namespace ombrix::update
