#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include "Updater.h"

namespace ombrix::update {

// The state and handlers of "Ombrix Update", without any widget. The view hands
// the updater's reports over on its own thread, forwards the button, Enter, Esc
// and the close box, and shows the state again after each. A handler that
// returns true means the window goes now.
//
// While the update runs the button is Cancel; pressing it, Esc or the close box
// cancels, and a window asked to close goes once the update has stopped, so the
// installed list is never left to a half-finished run. Afterwards the button is
// Close, and the bar is full or, after a failure, gone.
class frmUpdate {
public:
    enum class Key { Enter, Escape };

    const std::string& message() const { return message_; }
    bool barShown() const { return barShown_; }
    // No known end: the bar moves to show that something happens.
    bool barBusy() const { return barBusy_; }
    int barValue() const { return barValue_; }  // 0 to 100
    const char* buttonText() const { return finished_ ? "Close" : "Cancel"; }
    bool buttonEnabled() const { return finished_ || !canceled_; }
    bool finished() const { return finished_; }
    // Asked by the update's own thread.
    bool canceled() const { return canceled_; }

    void step(const std::string& what);
    void progress(std::uint64_t done, std::uint64_t total);
    bool finish(const Outcome& outcome);

    bool Command1_Click();
    bool closeRequested();
    bool keyPressed(Key key);

private:
    void cancel();

    std::string message_ = "Starting the update...";
    bool barShown_ = true;
    bool barBusy_ = true;
    int barValue_ = 0;
    bool finished_ = false;
    bool closeWhenFinished_ = false;
    std::atomic<bool> canceled_ = false;
};

}  // namespace ombrix::update
