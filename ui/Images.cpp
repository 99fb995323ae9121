#include "ui/Images.h"

#include <QFile>

QPixmap LoadBitmap(int id) {
    return QPixmap(QStringLiteral(":/bitmaps/%1.png").arg(id));
}

QIcon AppIcon() {
    QIcon icon;
    for (const char* suffix : {"", "-16", "-32", "-48", "-256"}) {
        const QString path = QStringLiteral(":/icons/128%1.png").arg(QLatin1String(suffix));
        if (QFile::exists(path)) icon.addFile(path);
    }
    return icon;
}
