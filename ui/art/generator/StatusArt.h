#pragma once

#include <QColor>
#include <QImage>

namespace art {

// A 32 x 32 status lamp: a round light on a solid background.
QImage LampImage(const QColor& light, const QColor& rim, const QColor& background);

// The 32 x 32 image of the log's clean button: a broom on a solid background.
QImage CleanImage(const QColor& background);

}  // namespace art
