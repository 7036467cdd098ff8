#include "VarnoButton/Conversions.h"

#include <QImage>

namespace ombrix {

FontChoice toFontChoice(const QFont& font)
{
    return {font.family().toStdString(), float(font.pointSizeF()), font.bold(), font.italic(), font.underline(),
            font.strikeOut()};
}

QFont toQFont(const FontChoice& choice)
{
    QFont font(QString::fromStdString(choice.name));
    if (choice.points > 0)
        font.setPointSizeF(choice.points);
    font.setBold(choice.bold);
    font.setItalic(choice.italic);
    font.setUnderline(choice.underline);
    font.setStrikeOut(choice.strikethrough);
    return font;
}

PictureData toPictureData(const QPixmap& picture)
{
    if (picture.isNull())
        return {};
    const QImage image = picture.toImage().convertToFormat(QImage::Format_ARGB32);
    PictureData data{image.width(), image.height(), {}};
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        data.pixels.insert(data.pixels.end(), row, row + image.width());
    }
    return data;
}

QPixmap toPixmap(const PictureData& picture)
{
    if (picture.isNull())
        return {};
    QImage image(picture.width, picture.height, QImage::Format_ARGB32);
    for (int y = 0; y < picture.height; ++y)
        std::copy_n(picture.pixels.begin() + qsizetype(y) * picture.width, picture.width,
                    reinterpret_cast<QRgb*>(image.scanLine(y)));
    return QPixmap::fromImage(image);
}

}  // namespace ombrix
