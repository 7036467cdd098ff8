#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "OwnerBox.h"
#include "frmUpdate.h"

namespace ombrix::update {
namespace {

enum class Event { Step, HalfDone, SizeUnknown, Click, CloseBox, Enter, Escape, Updated, UpToDate, Failed, NoSource };

// Hands `event` to the form; true when the window goes.
bool apply(frmUpdate& form, Event event)
{
    switch (event) {
    case Event::Step: form.step("Downloading the signature list"); return false;
    case Event::HalfDone: form.progress(512, 1024); return false;
    case Event::SizeUnknown: form.progress(512, 0); return false;
    case Event::Click: return form.Command1_Click();
    case Event::CloseBox: return form.closeRequested();
    case Event::Enter: return form.keyPressed(frmUpdate::Key::Enter);
    case Event::Escape: return form.keyPressed(frmUpdate::Key::Escape);
    case Event::Updated: return form.finish({kUpdated, "Updated."});
    case Event::UpToDate: return form.finish({kUpToDate, "Up to date."});
    case Event::Failed: return form.finish({kFailed, "Update failed."});
    case Event::NoSource: return form.finish({kFailed, "Type ombrix-settings.", "Open your settings."});
    }
    return false;
}

// The window as a person meets it: message | bar | button.
std::string shown(const frmUpdate& form)
{
    const std::string bar = !form.barShown() ? "no bar" : form.barBusy() ? "busy" : std::to_string(form.barValue()) + "%";
    return form.message() + " | " + bar + " | " + form.buttonText() + (form.buttonEnabled() ? "" : " greyed") +
           (form.canceled() ? " | canceled" : "");
}

struct Case {
    const char* what;
    std::vector<Event> events;
    std::string shown;
    bool goes;  // after the last event
};

const Case kCases[] = {
    {"it starts busy", {}, "Starting the update... | busy | Cancel", false},
    {"a step names itself", {Event::Step}, "Downloading the signature list... | busy | Cancel", false},
    {"a download of known size fills the bar", {Event::Step, Event::HalfDone},
     "Downloading the signature list... | 50% | Cancel", false},
    {"one of unknown size keeps it busy", {Event::Step, Event::SizeUnknown},
     "Downloading the signature list... | busy | Cancel", false},
    {"Cancel cancels and waits", {Event::Step, Event::Click}, "Canceling... | busy | Cancel greyed | canceled", false},
    {"a step after Cancel still says so", {Event::Click, Event::Step},
     "Canceling... | busy | Cancel greyed | canceled", false},
    {"Enter is the Cancel button", {Event::Enter}, "Canceling... | busy | Cancel greyed | canceled", false},
    {"Enter on the greyed button does nothing", {Event::Click, Event::Enter},
     "Canceling... | busy | Cancel greyed | canceled", false},
    {"the close box cancels and waits", {Event::CloseBox}, "Canceling... | busy | Cancel greyed | canceled", false},
    {"then the window goes at the end", {Event::CloseBox, Event::Failed}, "Update failed. | no bar | Close | canceled",
     true},
    {"so does it after Esc", {Event::Escape, Event::Failed}, "Update failed. | no bar | Close | canceled", true},
    {"a canceled update stays to be read", {Event::Click, Event::Failed}, "Update failed. | no bar | Close | canceled",
     false},
    {"an update fills the bar", {Event::Step, Event::HalfDone, Event::Updated}, "Updated. | 100% | Close", false},
    {"so does up to date", {Event::UpToDate}, "Up to date. | 100% | Close", false},
    {"a failure takes the bar away", {Event::Step, Event::HalfDone, Event::Failed}, "Update failed. | no bar | Close",
     false},
    {"the window's own words win", {Event::NoSource}, "Open your settings. | no bar | Close", false},
    {"late reports change nothing", {Event::Updated, Event::Step, Event::SizeUnknown}, "Updated. | 100% | Close", false},
    {"Close closes", {Event::Updated, Event::Click}, "Updated. | 100% | Close", true},
    {"so does Enter", {Event::Updated, Event::Enter}, "Updated. | 100% | Close", true},
    {"so does Esc", {Event::Failed, Event::Escape}, "Update failed. | no bar | Close", true},
    {"so does the close box", {Event::Failed, Event::CloseBox}, "Update failed. | no bar | Close", true},
};

TEST(frmUpdate, followsEachEventAsItsWindowShows)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        frmUpdate form;
        bool goes = false;
        for (const Event event : c.events)
            goes = apply(form, event);
        EXPECT_EQ(shown(form), c.shown);
        EXPECT_EQ(goes, c.goes);
    }
}

TEST(OwnerBox, readsOnlyAWholeFrame)
{
    const auto box = OwnerBox::Parse("-40,20,300,200");
    ASSERT_TRUE(box);
    EXPECT_EQ(box->left, -40);
    EXPECT_EQ(box->top, 20);
    EXPECT_EQ(box->width, 300);
    EXPECT_EQ(box->height, 200);
    for (const char* malformed : {"", "1,2,3", "1,2,3,4,", "1,2,3,4,5", "1,2,0,4", "a,2,3,4", "1, 2,3,4"})
        EXPECT_FALSE(OwnerBox::Parse(malformed)) << malformed;
}

}  // namespace
}  // namespace ombrix::update
