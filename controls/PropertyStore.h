#pragma once

#include <QString>
#include <QVariant>

namespace ombrix {

// Where a control's holder keeps the control's saved properties. Values are
// typed: colours as quint32, other numbers as qint32, bool, QString, QFont and
// QPixmap (a null pixmap is "no picture").
class PropertyStore {
public:
    virtual ~PropertyStore() = default;

    // The stored value of name, or defaultValue when nothing is stored under it.
    virtual QVariant ReadProperty(const QString& name, const QVariant& defaultValue) const = 0;
    // Stores value under name only when it differs from defaultValue, so a
    // property at its default leaves no entry.
    virtual void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue) = 0;
};

}  // namespace ombrix
