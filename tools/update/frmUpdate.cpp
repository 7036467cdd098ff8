#include "frmUpdate.h"

#include <algorithm>

namespace ombrix::update {

void frmUpdate::step(const std::string& what)
{
    if (finished_ || canceled_)
        return;
    message_ = what + "...";
    barBusy_ = true;
}

void frmUpdate::progress(std::uint64_t done, std::uint64_t total)
{
    if (finished_ || total == 0)
        return;
    barBusy_ = false;
    barValue_ = static_cast<int>(std::min(done, total) * 100 / total);
}

bool frmUpdate::finish(const Outcome& outcome)
{
    finished_ = true;
    message_ = outcome.windowMessage.empty() ? outcome.message : outcome.windowMessage;
    barBusy_ = false;
    barValue_ = 100;
    // A bar at 0 % or full would say something of a failed update that is not so.
    barShown_ = outcome.status != kFailed;
    return closeWhenFinished_;
}

bool frmUpdate::Command1_Click()
{
    if (finished_)
        return true;
    cancel();
    return false;
}

bool frmUpdate::closeRequested()
{
    if (finished_)
        return true;
    closeWhenFinished_ = true;
    cancel();
    return false;
}

bool frmUpdate::keyPressed(Key key)
{
    if (key == Key::Escape)
        return closeRequested();
    return buttonEnabled() && Command1_Click();
}

void frmUpdate::cancel()
{
    canceled_ = true;
    message_ = "Canceling...";
}

}  // namespace ombrix::update
