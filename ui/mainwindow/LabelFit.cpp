#include "ui/mainwindow/LabelFit.h"

#include <QLabel>

void FitLabelToText(QLabel& label) {
    label.setWordWrap(false);
    const int needed = label.fontMetrics().horizontalAdvance(label.text()) + 2 * label.margin() +
                       2 * label.frameWidth() + 1;
    const int extra = needed - label.width();
    if (extra <= 0) return;
    QRect place = label.geometry();
    const Qt::Alignment alignment = label.alignment();
    if (alignment & Qt::AlignRight) {
        place.setLeft(place.left() - extra);
    } else if (alignment & Qt::AlignHCenter) {
        place.setLeft(place.left() - extra / 2);
        place.setRight(place.right() + (extra - extra / 2));
    } else {
        place.setRight(place.right() + extra);
    }
    label.setGeometry(place);
}

void FitOneLineLabels(QWidget& dialog) {
    for (QLabel* label : dialog.findChildren<QLabel*>()) {
        if (!label->text().isEmpty() && label->height() < 2 * label->fontMetrics().lineSpacing()) {
            FitLabelToText(*label);
        }
    }
}
