#include <gtest/gtest.h>

#include <set>
#include <string_view>

#include "MainForm.h"
#include "QuarantineForm.h"
#include "ScanForm.h"
#include "UpdateForm.h"

namespace ombrix {
namespace {

// Rules every window's description keeps, whichever toolkit builds from it:
// names are unique, each control but a picture lies inside its parent, Tab visits the stops
// 0, 1, 2... in the table's order (the order a Win32 window creates and tabs
// through), and everything a screen reader meets has a name.
void expectSound(const FormDescription& form)
{
    SCOPED_TRACE(form.title);
    std::set<std::string_view> names;
    int nextStop = 0;
    for (const ControlDescription& c : form.controls) {
        SCOPED_TRACE(c.name);
        EXPECT_TRUE(names.insert(c.name).second) << "a second control of that name";
        const bool inPanel = *c.parent;
        const TwipsRect outer = inPanel ? form.control(c.parent).rect
                                        : TwipsRect{0, 0, form.clientWidth, form.clientHeight};
        EXPECT_GE(c.rect.left, 0);
        EXPECT_GE(c.rect.top, 0);
        // A picture may run past its parent's edge, which cuts it off.
        if (c.kind != ControlKind::Picture) {
            EXPECT_LE(c.rect.left + c.rect.width, outer.width);
            EXPECT_LE(c.rect.top + c.rect.height, outer.height);
        }
        if (c.tabIndex >= 0) {
            EXPECT_EQ(c.tabIndex, nextStop++);
        }
        if (c.role != AccessibleRole::None && c.role != AccessibleRole::StaticText) {
            EXPECT_TRUE(*c.accessibleName || *c.text) << "nothing for a screen reader to read";
        }
        if (*c.partner) {
            EXPECT_EQ(std::string_view(form.control(c.partner).name), c.partner) << "no partner of that name";
        }
        if (inPanel) {
            EXPECT_EQ(form.control(c.parent).kind, ControlKind::Panel);
        }
    }
    EXPECT_GT(nextStop, 0) << "the keyboard reaches nothing";
}

TEST(FormDescription, everyWindowsDescriptionIsSound)
{
    for (const FormDescription* form : {&kMainForm, &kScanForm, &kQuarantineForm, &update::kUpdateForm})
        expectSound(*form);
}

}  // namespace
}  // namespace ombrix
