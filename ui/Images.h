#pragma once

#include <QIcon>
#include <QPixmap>

// The program's images, compiled in as Qt resources. A missing id gives a null pixmap.
QPixmap LoadBitmap(int id);

// The application icon (id 128) in every size that exists.
QIcon AppIcon();
