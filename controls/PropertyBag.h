#pragma once

#include "PropertyStore.h"

#include <QJsonObject>
#include <QStringList>

#include <optional>

namespace ombrix {

// A property store kept as one JSON object and saved as a JSON file. Numbers
// and Booleans are JSON numbers and Booleans, strings are strings, a font is
// its QFont::toString() description and a picture is PNG data in base64 (the
// empty string for no picture). A value is read back as the type of the
// default it is read with; an entry of another JSON type reads as the default.
class PropertyBag final : public PropertyStore {
public:
    PropertyBag() = default;

    // The bag saved in the file at path; nullopt when the file cannot be read
    // or holds no JSON object.
    static std::optional<PropertyBag> load(const QString& path);
    // Writes the bag to path, replacing the file in one step; false on failure.
    bool save(const QString& path) const;

    QVariant ReadProperty(const QString& name, const QVariant& defaultValue) const override;
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue) override;

    // Names of the stored entries, sorted.
    QStringList names() const { return entries_.keys(); }

private:
    explicit PropertyBag(QJsonObject entries);

    QJsonObject entries_;
};

}  // namespace ombrix
