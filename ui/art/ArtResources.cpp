#include "ui/art/ArtResources.h"

namespace art {
namespace {

QString ScaleSuffix(int scale) {
    return scale == 1 ? QString() : QStringLiteral("@%1x").arg(scale);
}

}  // namespace

QString BitmapResource(int id, Tone tone, int scale) {
    const QString toneSuffix = tone == Tone::Dark ? QStringLiteral("-dark") : QString();
    return QStringLiteral(":/bitmaps/%1%2%3.png").arg(id).arg(toneSuffix, ScaleSuffix(scale));
}

QString AppIconResource(int side, int scale) {
    const QString size = side == 0 ? QString() : QStringLiteral("-%1").arg(side);
    return QStringLiteral(":/icons/128%1%2.png").arg(size, ScaleSuffix(scale));
}

}  // namespace art
