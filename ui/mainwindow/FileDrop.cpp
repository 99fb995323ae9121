#include "ui/mainwindow/FileDrop.h"

#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QMimeData>
#include <QUrl>

std::optional<std::string> DroppedFile(const QMimeData& data) {
    if (!data.hasUrls()) return std::nullopt;
    const QList<QUrl> urls = data.urls();
    if (urls.size() != 1 || !urls.first().isLocalFile()) return std::nullopt;
    const QFileInfo file(urls.first().toLocalFile());
    if (!file.isFile()) return std::nullopt;
    return QFile::encodeName(file.absoluteFilePath()).toStdString();
}
