#pragma once

#include <VarnoButton/FontChoice.h>
#include <VarnoButton/PictureData.h>

#include <QFont>
#include <QPixmap>
#include <QString>

#include <string>

namespace ombrix {

// Between the button's own values and Qt's.
FontChoice toFontChoice(const QFont& font);
QFont toQFont(const FontChoice& font);
PictureData toPictureData(const QPixmap& picture);
QPixmap toPixmap(const PictureData& picture);
inline std::string toUtf8(const QString& text) { return text.toStdString(); }
inline QString fromUtf8(const std::string& text) { return QString::fromStdString(text); }

}  // namespace ombrix
