#include "ui/QtStartupPages.h"

#include "ui/mainwindow/CLoadAndWriteDialog.h"
#include "ui/pages/CAlertMessageDialog.h"
#include "ui/pages/CConfigurationDialog.h"
#include "ui/pages/CDetectionDialog.h"
#include "ui/pages/CInitialSplash.h"

void QtStartupPages::ShowSplash() {
    CInitialSplash splash;
    splash.exec();
}

ConfigurationOutcome QtStartupPages::ShowConfiguration() {
    CConfigurationDialog page(app_, boxes_);
    const bool confirmed = page.exec() == QDialog::Accepted;
    return ConfigurationOutcome{confirmed, page.m_strCom.toStdString(),
                                page.m_strBaud.toStdString(), page.m_strReset.toStdString()};
}

bool QtStartupPages::ShowAlert() {
    CAlertMessageDialog alert;
    alert.exec();
    return alert.m_dontRemember;
}

bool QtStartupPages::ShowDetection() {
    CDetectionDialog page(app_, boxes_);
    return page.exec() == QDialog::Accepted;
}

void QtStartupPages::ShowMainWindow() {
    CLoadAndWriteDialog window(app_, boxes_);
    if (!fileToOpen_.empty()) window.OpenWhenShown(fileToOpen_);
    window.exec();
}
