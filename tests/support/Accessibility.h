#pragma once

#include <QAccessible>
#include <QStringList>
#include <QWidget>

#include <string>

#include "FormDescription.h"

namespace ombrix::test {

// What a screen reader meets in `window` without a name (or with a bare number,
// the name Qt makes up for a column): "role objectName" for each object, shown
// or hidden, that is neither a plain container nor a piece of
// Qt's own scrolling machinery, but for `mayBeEmpty`, labels whose text is
// empty at times. Empty when everything has a name.
inline std::string unnamedAccessibles(QWidget* window, const QStringList& mayBeEmpty = {})
{
    QStringList unnamed;
    const auto visit = [&unnamed, &mayBeEmpty](const auto& self, QAccessibleInterface* item) -> void {
        if (!item)
            return;
        const QAccessible::Role role = item->role();
        const bool mayGoUnnamed = role == QAccessible::Client || role == QAccessible::Pane ||
                                  role == QAccessible::ScrollBar || role == QAccessible::Grouping ||
                                  role == QAccessible::Cell || role == QAccessible::Row;
        const QString name = item->object() ? item->object()->objectName() : QString();
        bool number = false;
        const QString text = item->text(QAccessible::Name);
        text.toInt(&number);
        if (!mayGoUnnamed && (text.isEmpty() || number) && !mayBeEmpty.contains(name))
            unnamed << QString::number(role) + ' ' + name + (number ? ' ' + text : QString());
        for (int i = 0; i < item->childCount(); ++i)
            self(self, item->child(i));
    };
    visit(visit, QAccessible::queryAccessibleInterface(window));
    return unnamed.join(QStringLiteral(", ")).toStdString();
}

// The role Qt reports for a control the form describes with `role`.
inline QAccessible::Role qtRole(AccessibleRole role)
{
    switch (role) {
    case AccessibleRole::Graphic: return QAccessible::Graphic;
    case AccessibleRole::StaticText: return QAccessible::StaticText;
    case AccessibleRole::Table: return QAccessible::Table;
    case AccessibleRole::PushButton: return QAccessible::PushButton;
    case AccessibleRole::Tree: return QAccessible::Tree;
    case AccessibleRole::CheckBox: return QAccessible::CheckBox;
    case AccessibleRole::Link: return QAccessible::Link;
    case AccessibleRole::Grouping: return QAccessible::Grouping;
    case AccessibleRole::ProgressBar: return QAccessible::ProgressBar;
    case AccessibleRole::None: return QAccessible::NoRole;
    }
    return QAccessible::NoRole;
}

// Whether Qt's `shown` role announces what the form describes as `described`.
// Qt names a panel a Border and a list of rows with columns drawn by a tree
// view a Tree; both are what a screen reader expects of them.
inline bool announcesAs(QAccessible::Role shown, AccessibleRole described)
{
    if (described == AccessibleRole::Grouping && shown == QAccessible::Border)
        return true;
    if (described == AccessibleRole::Table && shown == QAccessible::Tree)
        return true;
    return shown == qtRole(described);
}

}  // namespace ombrix::test
