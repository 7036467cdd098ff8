#include "PropertyBag.h"

#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QJsonDocument>
#include <QPixmap>
#include <QSaveFile>

namespace ombrix {

namespace {

QString encodePicture(const QPixmap& picture)
{
    if (picture.isNull())
        return {};
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return QString::fromLatin1(png.toBase64());
}

QPixmap decodePicture(const QString& text)
{
    QPixmap picture;
    picture.loadFromData(QByteArray::fromBase64(text.toLatin1()), "PNG");
    return picture;
}

QJsonValue encode(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool: return value.toBool();
    case QMetaType::Int: return value.toInt();
    case QMetaType::UInt: return qint64(value.toUInt());
    case QMetaType::QString: return value.toString();
    case QMetaType::QFont: return value.value<QFont>().toString();
    case QMetaType::QPixmap: return encodePicture(value.value<QPixmap>());
    default: return QJsonValue::Undefined;
    }
}

std::optional<QVariant> decode(const QJsonValue& stored, int typeId)
{
    const bool number = stored.isDouble();
    switch (typeId) {
    case QMetaType::Bool:
        return stored.isBool() ? std::optional<QVariant>(stored.toBool()) : std::nullopt;
    case QMetaType::Int:
        return number ? std::optional<QVariant>(qint32(stored.toInteger())) : std::nullopt;
    case QMetaType::UInt:
        return number ? std::optional<QVariant>(quint32(stored.toInteger())) : std::nullopt;
    case QMetaType::QString:
        return stored.isString() ? std::optional<QVariant>(stored.toString()) : std::nullopt;
    case QMetaType::QFont: {
        QFont font;
        if (!stored.isString() || !font.fromString(stored.toString()))
            return std::nullopt;
        return QVariant(font);
    }
    case QMetaType::QPixmap:
        return stored.isString() ? std::optional<QVariant>(decodePicture(stored.toString())) : std::nullopt;
    default:
        return std::nullopt;
    }
}

}  // namespace

PropertyBag::PropertyBag(QJsonObject entries)
    : entries_(std::move(entries))
{
}

std::optional<PropertyBag> PropertyBag::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(file.readAll());
    if (!document.isObject())
        return std::nullopt;
    return PropertyBag(document.object());
}

bool PropertyBag::save(const QString& path) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(entries_).toJson());
    return file.commit();
}

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const
{
    const auto stored = entries_.constFind(name);
    if (stored == entries_.constEnd())
        return defaultValue;
    return decode(*stored, defaultValue.typeId()).value_or(defaultValue);
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue)
{
    // Compared in stored form, which also gives pictures an equality.
    const QJsonValue encoded = encode(value);
    if (encoded == encode(defaultValue))
        entries_.remove(name);
    else
        entries_.insert(name, encoded);
}

}  // namespace ombrix
