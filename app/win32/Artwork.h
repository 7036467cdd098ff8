#pragma once

#include "Win32.h"

#include <string>

// The main window's pictures, drawn in code at the size they are shown.
namespace ombrix::Artwork {

// The strip across the top of a panel.
HBITMAP headerStrip(int width, int height);
// A picture lies over the end of its panel's strip, at `strip` in the
// picture's own pixels: the strip shows behind it, as through a transparent picture.
// Beside the options: a magnifying glass over a document.
HBITMAP optionsArt(int width, int height, const RECT& strip);
// Beside the last-scan figures: a shield over a bar chart.
HBITMAP statisticsArt(int width, int height, const RECT& strip);
// Beside the scan link: a magnifying glass with a bug in it.
HBITMAP scanIcon(int size);
// Beside the update link: a globe with a downward arrow.
HBITMAP updateIcon(int size);
// The program's own icon: a shield with a magnifying glass.
HICON programIcon(int size);

// TreeView1's pictures, small (16 x 16 at 96 DPI), "mycomputer", "floppy", "harddrive", "cdrom",
// "networkdrive", "unknown", "closedfolder", "openfolder".
HIMAGELIST treeImageList();
// The position of a picture key in treeImageList(); "unknown" for a key it does not hold.
int treeImage(const std::string& key);

}  // namespace ombrix::Artwork
