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

// The stored value as the type of fallback, or fallback when it is not one.
QVariant decode(const QJsonValue& stored, const QVariant& fallback)
{
    switch (fallback.typeId()) {
    case QMetaType::Bool:
        return stored.isBool() ? QVariant(stored.toBool()) : fallback;
    case QMetaType::Int:
        return stored.isDouble() ? QVariant(qint32(stored.toInteger(fallback.toInt()))) : fallback;
    case QMetaType::UInt:
        return stored.isDouble() ? QVariant(quint32(stored.toInteger(fallback.toUInt()))) : fallback;
    case QMetaType::QString:
        return stored.isString() ? QVariant(stored.toString()) : fallback;
    case QMetaType::QFont: {
        QFont font;
        return stored.isString() && font.fromString(stored.toString()) ? QVariant(font) : fallback;
    }
    case QMetaType::QPixmap:
        return stored.isString() ? QVariant(decodePicture(stored.toString())) : fallback;
    default:
        return fallback;
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
    return decode(*stored, defaultValue);
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
