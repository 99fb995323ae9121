#pragma once

#include <QString>

// Where the program's pictures sit in the Qt resources linked with pelorant_art.
namespace art {

// The copy of a picture drawn for the window colour behind it: the pictures keyed on magenta
// also exist for a dark window.
enum class Tone { Light, Dark };

// ":/bitmaps/<id>.png", the bitmap with resource id `id`; "<id>-dark.png" in the dark tone;
// "<id>@2x.png" (and "<id>-dark@2x.png") drawn at twice the pixels when `scale` is 2.
QString BitmapResource(int id, Tone tone = Tone::Light, int scale = 1);

// ":/icons/128-<side>.png", the application icon drawn for `side` pixels (16, 32, 48 or 256);
// ":/icons/128.png", the 32-pixel window icon, when `side` is 0. "@2x" copies as above.
QString AppIconResource(int side = 0, int scale = 1);

}  // namespace art
