#include "ui/art/ArtResources.h"

namespace art {

QString BitmapResource(int id) {
    return QStringLiteral(":/bitmaps/%1.png").arg(id);
}

QString AppIconResource(int side) {
    if (side == 0) return QStringLiteral(":/icons/128.png");
    return QStringLiteral(":/icons/128-%1.png").arg(side);
}

}  // namespace art
