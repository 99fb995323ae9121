#include "tests/ui/support/LayoutChecks.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QStyleFactory>
#include <QToolButton>

namespace uitest {
namespace {

QString Describe(const dialog::ControlTemplate& control) {
    return QStringLiteral("control %1 \"%2\"")
        .arg(control.id)
        .arg(QString::fromStdString(control.text).left(30));
}

void ExpectShownWhole(const QWidget& widget, const QString& what) {
    if (const auto* label = qobject_cast<const QLabel*>(&widget)) {
        const QString text = label->text();
        const QFontMetrics metrics = label->fontMetrics();
        if (text.isEmpty() || text.contains(u'\n')) return;
        if (label->height() >= 2 * metrics.lineSpacing()) return;
        EXPECT_LE(metrics.horizontalAdvance(text),
                  label->contentsRect().width() - 2 * label->margin())
            << qPrintable(what) << " cuts its text";
        EXPECT_GE(label->contentsRect().height(), metrics.height()) << qPrintable(what);
        return;
    }
    if (qobject_cast<const QCheckBox*>(&widget) != nullptr ||
        qobject_cast<const QPushButton*>(&widget) != nullptr ||
        qobject_cast<const QToolButton*>(&widget) != nullptr ||
        qobject_cast<const QComboBox*>(&widget) != nullptr) {
        const QSize hint = widget.sizeHint();
        if (qobject_cast<const QComboBox*>(&widget) == nullptr) {
            EXPECT_GE(widget.width(), hint.width()) << qPrintable(what) << " cuts its text";
        }
        EXPECT_GE(widget.height(), hint.height()) << qPrintable(what) << " is squeezed";
    }
}

}  // namespace

QStringList InstalledStyles() {
    return QStyleFactory::keys();
}

void ExpectNothingCutOrCovered(const QWidget& dialog,
                               const dialog::DialogTemplate& dialogTemplate) {
    const DialogBaseUnits base = MeasureBaseUnits(dialog.font());
    const auto& controls = dialogTemplate.controls;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const QWidget* widget = dialog::ControlAt(&dialog, i);
        ASSERT_NE(widget, nullptr) << i;
        ExpectShownWhole(*widget, Describe(controls[i]));
        EXPECT_TRUE(dialog.rect().contains(widget->geometry()) ||
                    !dialog.rect().contains(dialog::TemplatePlace(controls[i], base)))
            << qPrintable(Describe(controls[i])) << " runs past the dialog's edge";
    }
    for (std::size_t i = 0; i < controls.size(); ++i) {
        if (controls[i].kind == dialog::ControlKind::GroupBox) continue;
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            if (controls[j].kind == dialog::ControlKind::GroupBox) continue;
            const QRect first = dialog::TemplatePlace(controls[i], base);
            const QRect second = dialog::TemplatePlace(controls[j], base);
            if (first.intersects(second)) continue;
            EXPECT_FALSE(dialog::ControlAt(&dialog, i)
                             ->geometry()
                             .intersects(dialog::ControlAt(&dialog, j)->geometry()))
                << qPrintable(Describe(controls[i])) << " overlaps "
                << qPrintable(Describe(controls[j]));
        }
    }
}

}  // namespace uitest
