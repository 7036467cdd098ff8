#pragma once

#include <gtest/gtest.h>

#include <QAccessible>
#include <QWidget>

#include "Accessibility.h"
#include "FormDescription.h"
#include "Twips.h"

namespace ombrix::test {

// Each control of `form` stands in `window` where the form says, in its font,
// with the name and role a screen reader announces; what is drawn (shapes,
// rules) is no widget at all.
inline void expectBuiltFrom(const QWidget& window, const FormDescription& form)
{
    EXPECT_EQ(window.windowTitle(), form.title);
    EXPECT_EQ(window.size(), QSize(px(form.clientWidth), px(form.clientHeight)));
    for (const ControlDescription& want : form.controls) {
        SCOPED_TRACE(want.name);
        auto* widget = window.findChild<QWidget*>(QLatin1String(want.name));
        if (want.kind == ControlKind::Shape || want.kind == ControlKind::Rule) {
            EXPECT_EQ(widget, nullptr) << "drawn, not a widget";
            continue;
        }
        ASSERT_NE(widget, nullptr);
        const TwipsRect& r = want.rect;
        EXPECT_EQ(widget->geometry(), twipsRect(r.left, r.top, r.width, r.height));
        if (*want.parent) {
            EXPECT_EQ(widget->parentWidget()->objectName(), want.parent);
        }
        EXPECT_EQ(widget->font().bold(), want.bold);
        EXPECT_EQ(widget->font().underline(), want.underline);
        EXPECT_EQ(widget->font().pointSizeF(), want.points > 0 ? want.points : form.fontPoints);
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(widget);
        EXPECT_TRUE(announcesAs(item->role(), want.role)) << "role " << item->role();
        // A value's design text is replaced as soon as the window shows.
        if (want.kind != ControlKind::Value) {
            EXPECT_EQ(item->text(QAccessible::Name), *want.accessibleName ? want.accessibleName : want.text);
        }
    }
}

}  // namespace ombrix::test
