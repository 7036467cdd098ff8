#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAccessible>
#include <QFontMetricsF>
#include <QLabel>
#include <QWidget>

#include "Accessibility.h"
#include "ElidedLabel.h"
#include "FormDescription.h"
#include "Twips.h"

namespace ombrix::test {

// The desktop scale this run is made at: CTest runs the view tests again with
// QT_SCALE_FACTOR set.
inline qreal testScale()
{
    return qEnvironmentVariable("QT_SCALE_FACTOR", QStringLiteral("1")).toDouble();
}

// The text `widget` shows is drawn whole in its box: not cut short, and on one
// line when the box is one line high.
inline void expectTextWhole(const QWidget& widget)
{
    const auto* label = qobject_cast<const QLabel*>(&widget);
    const auto* button = qobject_cast<const QAbstractButton*>(&widget);
    const QString text = label ? label->text() : button ? button->text() : QString();
    if (text.isEmpty() || (label && !label->pixmap().isNull()))
        return;
    if (const auto* elided = dynamic_cast<const ElidedLabel*>(&widget)) {
        EXPECT_FALSE(elided->isElided()) << elided->shownText().toStdString();
    }
    const QFontMetricsF metrics(widget.font(), &widget);
    const QRect box = widget.contentsRect();
    if (box.height() < 2 * metrics.lineSpacing()) {
        EXPECT_LE(metrics.horizontalAdvance(text), box.width()) << text.toStdString() << " on one line";
        EXPECT_LE(metrics.height(), box.height()) << text.toStdString();
    } else {
        EXPECT_LE(metrics.boundingRect(QRectF(box), Qt::TextWordWrap, text).height(), box.height())
            << text.toStdString();
    }
}

// Each control of `form` stands in `window` where the form says, in its font,
// with the name and role a screen reader announces, its text whole and its
// picture as sharp as the scale allows; what is drawn (shapes, rules) is no
// widget at all. Positions are logical pixels, which the scale multiplies.
inline void expectBuiltFrom(const QWidget& window, const FormDescription& form)
{
    EXPECT_EQ(window.windowTitle(), form.title);
    EXPECT_EQ(window.devicePixelRatioF(), testScale());
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
        expectTextWhole(*widget);
        if (want.kind == ControlKind::Picture) {
            const QPixmap picture = static_cast<const QLabel*>(widget)->pixmap();
            EXPECT_EQ(picture.devicePixelRatio(), testScale());
            EXPECT_EQ(picture.deviceIndependentSize().toSize(), widget->size());
        }
        QAccessibleInterface* item = QAccessible::queryAccessibleInterface(widget);
        EXPECT_TRUE(announcesAs(item->role(), want.role)) << "role " << item->role();
        // A value's design text is replaced as soon as the window shows.
        if (want.kind != ControlKind::Value) {
            EXPECT_EQ(item->text(QAccessible::Name), *want.accessibleName ? want.accessibleName : want.text);
        }
    }
}

}  // namespace ombrix::test
