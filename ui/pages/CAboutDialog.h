#pragma once

#include "ui/pages/CTemplateDialog.h"

class CTransparentStatic2;

// The about box: the splash picture with the program's version.
class CAboutDialog : public CTemplateDialog {
    Q_OBJECT

public:
    explicit CAboutDialog(QWidget* parent = nullptr);

    CTransparentStatic2* m_version;

protected:
    void OnInitDialog() override;
};
