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

// Every picture and icon of the program, in the order of the contact sheet, drawn at `scale`
// pixels per logical pixel: 1 gives "<name>.png", 2 the high-DPI copies "<name>@2x.png".
// The pictures keyed on magenta come twice, the second time as "<id>-dark" for dark windows.
std::vector<ArtPiece> RenderAll(int scale);

}  // namespace art
