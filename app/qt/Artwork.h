#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>
#include <QSize>

// The main window's pictures, drawn in code so the program carries no image files.
namespace ombrix::Artwork {

// The strip across the top of a panel.
QPixmap headerStrip(QSize size);
// Beside the options: a magnifying glass over a document.
QPixmap optionsArt(QSize size);
// Beside the last-scan figures: a shield over a bar chart.
QPixmap statisticsArt(QSize size);
// Beside the scan link: a magnifying glass with a bug in it.
QPixmap scanIcon(QSize size);
// Beside the update link: a globe with a downward arrow.
QPixmap updateIcon(QSize size);
// The program's own icon: a shield with a magnifying glass.
QIcon programIcon();
// The link labels' pointer: a pointing hand, hot spot at the fingertip.
QCursor handCursor();

}  // namespace ombrix::Artwork
