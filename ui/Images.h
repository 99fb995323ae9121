#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>

// The program's images, compiled in as Qt resources. A missing id gives a null pixmap.
// On a high-DPI screen the image comes from its "@2x" copy, smoothly fitted to the screen's
// exact scale, so that it is drawn pixel for pixel and stays crisp at 1.25, 1.5 or 2.
QPixmap LoadBitmap(int id);

// As LoadBitmap, for a picture shown on a window of colour `window`: on a dark window the copy
// drawn for dark windows, where one exists.
QPixmap LoadBitmapOn(int id, const QColor& window);

// The application icon (id 128) in every size that exists, with their "@2x" copies.
QIcon AppIcon();
