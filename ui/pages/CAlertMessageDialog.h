#pragma once

#include "ui/pages/CTemplateDialog.h"

// The reminder to power the board off before detection.
class CAlertMessageDialog : public CTemplateDialog {
    Q_OBJECT

public:
    explicit CAlertMessageDialog(QWidget* parent = nullptr);

    // The check box "don't remember me again", taken only when the dialog ends with OK.
    bool m_dontRemember = false;

public slots:
    void accept() override;
};
