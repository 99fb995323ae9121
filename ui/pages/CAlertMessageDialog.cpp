#include "ui/pages/CAlertMessageDialog.h"

#include <QCheckBox>
#include <QPushButton>

#include "ui/Images.h"
#include "ui/templates/WizardTemplates.h"

CAlertMessageDialog::CAlertMessageDialog(QWidget* parent)
    : CTemplateDialog(templates::AlertTemplate(), parent) {
    setWindowIcon(AppIcon());
    connect(ControlAs<QPushButton>(dialog::kIdOk), &QPushButton::clicked, this,
            &CAlertMessageDialog::accept);
}

void CAlertMessageDialog::accept() {
    m_dontRemember = ControlAs<QCheckBox>(templates::kIdcDontRemember)->isChecked();
    CTemplateDialog::accept();
}
