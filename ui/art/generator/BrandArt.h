#pragma once

#include <QImage>

#include "Palette.h"

namespace art {

// The maker's logo, the "vardeno" wordmark, 234 x 63 on magenta: dark ink for a light window,
// light ink for a dark one.
QImage LogoPicture(palette::Backdrop backdrop);

// The splash and about picture, 476 x 206. The lower-left corner stays dark and empty for the
// splash's light status text; the band at the top stays light for the grey version label.
QImage SplashPicture();

// The application icon: a chip with a lightning bolt on a blue tile, `side` pixels square.
QImage AppIcon(int side);

}  // namespace art
