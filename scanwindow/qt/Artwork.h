#pragma once

#include <QColor>
#include <QPixmap>

// The scan window's pictures, drawn in code so no image files ship with it.
namespace ombrix::Artwork {

// A 16 x 16 beetle with a body of the given colour, for the finding list.
QPixmap bug(const QColor& body);

// The banner across the top of a window, 25 pixels high and `width` wide.
QPixmap banner(int width);

// A 16 x 16 magnifying glass: the window's small icon.
QPixmap magnifier();

}  // namespace ombrix::Artwork
