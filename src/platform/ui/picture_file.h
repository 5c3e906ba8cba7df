#pragma once
// Reading a picture file for an image element: the pixels and the size the
// element takes, in twips, from the picture's pixels and resolution.

#include "window.h"

#include <QImage>

namespace ui {

struct PictureFile {
    QImage image;
    Twips width = 0;
    Twips height = 0;
};

// Reads the file through Qt's image readers (JPEG, PNG, BMP, GIF, ...).
// Throws error 53 when the path names no file and 481 when no reader
// understands it. A picture without a resolution counts as 96 dots per inch.
PictureFile readPictureFile(const QString &path);

} // namespace ui
