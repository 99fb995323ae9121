#pragma once

#include <QString>

// Where the program's pictures sit in the Qt resources linked with pelorant_art.
namespace art {

// ":/bitmaps/<id>.png", the bitmap with resource id `id`.
QString BitmapResource(int id);

// ":/icons/128-<side>.png", the application icon drawn for `side` pixels (16, 32, 48 or 256);
// ":/icons/128.png", the 32-pixel window icon, when `side` is 0.
QString AppIconResource(int side = 0);

}  // namespace art
