// Every template built under every Qt style installed here: the style's own check-box, combo
// and button metrics and the desktop's font never cut a text or make controls overlap.

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QStyle>
#include <QStyleFactory>

#include "tests/ui/support/LayoutChecks.h"
#include "tests/ui/support/QtTestApp.h"
#include "ui/DialogTemplate.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"
#include "ui/templates/WizardTemplates.h"

namespace {

class StyleFitTest : public uitest::QtTest {};

struct TemplateCase {
    const char* name;
    const dialog::DialogTemplate& (*get)();
};

const TemplateCase kTemplates[] = {
    {"splash", templates::SplashTemplate},
    {"about", templates::AboutTemplate},
    {"alert", templates::AlertTemplate},
    {"configuration 1/3", templates::ConfigurationTemplate},
    {"detection 2/3", templates::DetectionTemplate},
    {"loading and writing 3/3", mainwindow::LoadAndWriteTemplate},
};

TEST_F(StyleFitTest, EveryTemplateFitsEveryInstalledStyle) {
    const QStringList styles = uitest::InstalledStyles();
    ASSERT_TRUE(styles.contains(QStringLiteral("Fusion")));
    ASSERT_TRUE(styles.contains(QStringLiteral("Windows")));
    const QString before = QApplication::style()->name();
    for (const QString& style : styles) {
        QApplication::setStyle(QStyleFactory::create(style));
        for (const TemplateCase& c : kTemplates) {
            SCOPED_TRACE(qPrintable(style + QStringLiteral(": ") + QLatin1String(c.name)));
            QDialog dialog;
            dialog::BuildDialog(dialog, c.get());
            const dialog::DialogTemplate& shown = c.get();
            const DialogBaseUnits base = MeasureBaseUnits(dialog.font());
            EXPECT_GE(dialog.width(), DialogUnitsToPixelsX(shown.width, base));
            EXPECT_GE(dialog.height(), DialogUnitsToPixelsY(shown.height, base));
            uitest::ExpectNothingCutOrCovered(dialog, shown);
        }
    }
    QApplication::setStyle(QStyleFactory::create(before));
}

TEST_F(StyleFitTest, NothingIsSmallerThanItsTemplatePlace) {
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    QDialog dialog;
    const dialog::DialogTemplate& configuration = templates::ConfigurationTemplate();
    dialog::BuildDialog(dialog, configuration);
    const DialogBaseUnits base = MeasureBaseUnits(dialog.font());
    for (std::size_t i = 0; i < configuration.controls.size(); ++i) {
        const QSize place = dialog::TemplatePlace(configuration.controls[i], base).size();
        const QSize built = dialog::ControlAt(&dialog, i)->size();
        EXPECT_GE(built.width(), place.width()) << i;
        EXPECT_GE(built.height(), place.height()) << i;
    }
}

}  // namespace
