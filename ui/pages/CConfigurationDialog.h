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
    // The texts of the two lists, taken when the page ends with OK.
    QString m_strCom;
    QString m_strBaud;

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
