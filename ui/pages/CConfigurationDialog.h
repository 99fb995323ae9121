#pragma once

#include <QString>

#include "ui/pages/CTemplateDialog.h"

class CBootloaderApp;
class IMessageBox;
class QComboBox;

// Page 1/3: choose the COM port and the baud rate; OK opens the port.
class CConfigurationDialog : public CTemplateDialog {
    Q_OBJECT

public:
    CConfigurationDialog(CBootloaderApp& app, IMessageBox& boxes, QWidget* parent = nullptr);

    QComboBox* m_comboPort;
    QComboBox* m_comboBaud;
    // How the board is reset through the modem lines; each item's data is its setting text.
    QComboBox* m_comboReset;
    // The texts of the two lists, taken when the page ends with OK.
    QString m_strCom;
    QString m_strBaud;
    // The chosen reset as the setting "reset" holds it, taken when the page ends with OK.
    QString m_strReset;

public slots:
    // Opens the port with the chosen settings; ends with OK when it opened, else with a box
    // and Cancel.
    void accept() override;

protected:
    void OnInitDialog() override;

private:
    CBootloaderApp& app_;
    IMessageBox& boxes_;
};
