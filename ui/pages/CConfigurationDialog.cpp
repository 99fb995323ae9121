#include "ui/pages/CConfigurationDialog.h"

#include <QComboBox>
#include <QPushButton>
#include <string>
#include <vector>

#include "app/BootloaderApp.h"
#include "app/Settings.h"
#include "common/MessageBox.h"
#include "common/Product.h"
#include "control/DetectionRun.h"
#include "control/DetectionTexts.h"
#include "ui/Images.h"
#include "ui/pages/PortChoice.h"
#include "ui/pages/ResetChoice.h"
#include "ui/templates/WizardTemplates.h"

namespace {

std::vector<std::string> Items(const QComboBox& combo) {
    std::vector<std::string> items;
    for (int i = 0; i < combo.count(); ++i) items.push_back(combo.itemText(i).toStdString());
    return items;
}

// Selects the first item beginning with the stored setting, searching from position 1;
// leaves the selection as it is when the setting is missing or matches nothing.
void PreselectFromSetting(QComboBox& combo, const char* valueName) {
    char stored[kSettingTextBytes] = {};
    if (ReadSettingString(stored, product::kSettingsKey, valueName) != 0) return;
    const int index = FindPrefixFrom(Items(combo), stored, 1);
    if (index >= 0) combo.setCurrentIndex(index);
}

// The reset choices with the stored one selected; "none" when nothing usable is stored.
void FillResetChoices(QComboBox& combo) {
    char stored[kSettingTextBytes] = {};
    ReadSettingString(stored, product::kSettingsKey, "reset");
    const std::vector<ResetChoice> choices = ResetChoicesFor(stored);
    combo.clear();
    for (const ResetChoice& choice : choices) {
        combo.addItem(QString::fromStdString(choice.label),
                      QString::fromStdString(choice.sequence));
    }
    combo.setCurrentIndex(ResetChoiceIndex(choices, stored));
}

}  // namespace

CConfigurationDialog::CConfigurationDialog(CBootloaderApp& app, IMessageBox& boxes, QWidget* parent)
    : CTemplateDialog(templates::ConfigurationTemplate(), parent),
      m_comboPort(ControlAs<QComboBox>(templates::kIdcComboPort)),
      m_comboBaud(ControlAs<QComboBox>(templates::kIdcComboBaud)),
      m_comboReset(ControlAs<QComboBox>(templates::kIdcComboReset)),
      app_(app),
      boxes_(boxes) {
    setWindowIcon(AppIcon());
    const QString resetHelp = QStringLiteral(
        "How Pelorant resets the board through the adapter's modem lines before each "
        "detection; none: you reset it by hand");
    m_comboReset->setToolTip(resetHelp);
    ControlAs<QWidget>(templates::kIdcResetLabel)->setToolTip(resetHelp);
    connect(ControlAs<QPushButton>(dialog::kIdOk), &QPushButton::clicked, this,
            &CConfigurationDialog::accept);
}

void CConfigurationDialog::OnInitDialog() {
    const ComPortList& ports = app_.m_ports;
    m_comboPort->clear();
    for (std::size_t i = 0; i < ports.Count(); ++i) {
        m_comboPort->addItem(QString::fromStdString(ports.At(i).friendlyName));
    }
    m_comboPort->setCurrentIndex(0);
    PreselectFromSetting(*m_comboPort, "com");

    for (const std::string& rate : OfferedBaudRates()) {
        m_comboBaud->addItem(QString::fromStdString(rate));
    }
    m_comboBaud->setCurrentIndex(m_comboBaud->count() - 1);
    PreselectFromSetting(*m_comboBaud, "baudrate");
    FillResetChoices(*m_comboReset);
}

void CConfigurationDialog::accept() {
    CBootloaderApp& app = app_;
    const int position = m_comboPort->currentIndex();
    if (position < 0 || static_cast<std::size_t>(position) >= app.m_ports.Count()) return;

    app.m_comNumber =
        PortNumberFromName(app.m_ports.At(static_cast<std::size_t>(position)).portName);
    app.m_baudRate = BaudRateFromText(m_comboBaud->currentText().toStdString());
    app.m_reset = m_comboReset->currentData().toString().toStdString();
    const EngineContext engine = app.Engine();
    if (OpenEnginePort(engine)) {
        m_strCom = m_comboPort->currentText();
        m_strBaud = m_comboBaud->currentText();
        m_strReset = m_comboReset->currentData().toString();
        CTemplateDialog::accept();
        return;
    }
    boxes_.Show(ConfiguringFailedText(EnginePortName(engine), app.m_baudRate, kStartupProgramName),
                kConfiguringFailedCaption, BoxIcon::Error, BoxButtons::Ok);
    reject();
}
