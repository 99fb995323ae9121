#pragma once

#include <QImage>
#include <QString>
#include <vector>

namespace art {

struct ArtPiece {
    QString path;  // relative to the images folder, e.g. "bitmaps/238.png"
    QString caption;
    QImage image;
};

// Every picture and icon of the program, in the order of the contact sheet.
std::vector<ArtPiece> RenderAll();

}  // namespace art
