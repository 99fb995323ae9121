#include "ContactSheet.h"

#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <algorithm>

#include "Raster.h"

namespace art {
namespace {

constexpr int kSheetWidth = 1100;
constexpr int kMargin = 16;
constexpr int kLabelHeight = 34;
const QColor kSheetBackground(250, 250, 250);
// The checkerboard shows which icon pixels are transparent.
const QColor kCheckLight(236, 236, 236);
const QColor kCheckDark(214, 214, 214);

struct Placement {
    QPoint at;
    const ArtPiece* piece;
};

QSize Doubled(const QImage& image) {
    return image.size() * 2;
}

std::vector<Placement> LayOut(const std::vector<ArtPiece>& pieces, int* height) {
    std::vector<Placement> placements;
    int x = kMargin;
    int y = kMargin;
    int rowHeight = 0;
    for (const ArtPiece& piece : pieces) {
        const QSize size = Doubled(piece.image);
        const int cellWidth = std::max(size.width(), 130);
        if (x + cellWidth > kSheetWidth - kMargin) {
            x = kMargin;
            y += rowHeight + kLabelHeight + kMargin;
            rowHeight = 0;
        }
        placements.push_back({QPoint(x, y), &piece});
        x += cellWidth + kMargin;
        rowHeight = std::max(rowHeight, size.height());
    }
    *height = y + rowHeight + kLabelHeight + kMargin;
    return placements;
}

void DrawChecks(QPainter& painter, const QRect& area) {
    constexpr int kCheck = 8;
    for (int y = area.top(); y < area.bottom(); y += kCheck) {
        for (int x = area.left(); x < area.right(); x += kCheck) {
            const bool dark = ((x - area.left()) / kCheck + (y - area.top()) / kCheck) % 2;
            painter.fillRect(QRect(x, y, kCheck, kCheck).intersected(area),
                             dark ? kCheckDark : kCheckLight);
        }
    }
}

}  // namespace

QImage ContactSheet(const std::vector<ArtPiece>& pieces) {
    int height = 0;
    const std::vector<Placement> placements = LayOut(pieces, &height);
    QImage sheet = NewImage(QSize(kSheetWidth, height), kSheetBackground);
    QPainter painter(&sheet);
    painter.setRenderHint(QPainter::TextAntialiasing);
    QFont font("DejaVu Sans");
    font.setPixelSize(11);
    painter.setFont(font);
    for (const Placement& placement : placements) {
        const QImage& image = placement.piece->image;
        const QRect area(placement.at, Doubled(image));
        if (image.hasAlphaChannel()) DrawChecks(painter, area);
        painter.drawImage(area.topLeft(),
                          image.scaled(area.size(), Qt::IgnoreAspectRatio, Qt::FastTransformation));
        painter.setPen(QColor(40, 40, 40));
        const QString name = QFileInfo(placement.piece->path).completeBaseName();
        painter.drawText(
            QPoint(area.left(), area.bottom() + 15),
            QStringLiteral("%1  %2×%3").arg(name).arg(image.width()).arg(image.height()));
        painter.setPen(QColor(110, 110, 110));
        painter.drawText(QPoint(area.left(), area.bottom() + 29), placement.piece->caption);
    }
    painter.end();
    return sheet.convertToFormat(QImage::Format_RGB32);
}

}  // namespace art
