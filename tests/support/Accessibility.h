#pragma once

#include <QAccessible>
#include <QStringList>
#include <QWidget>

#include <string>

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

}  // namespace ombrix::test
