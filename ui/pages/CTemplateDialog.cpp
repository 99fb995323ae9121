#include "ui/pages/CTemplateDialog.h"

CTemplateDialog::CTemplateDialog(const dialog::DialogTemplate& dialogTemplate, QWidget* parent)
    : QDialog(parent), templateId_(dialogTemplate.id) {
    dialog::BuildDialog(*this, dialogTemplate);
}

void CTemplateDialog::showEvent(QShowEvent* event) {
    if (!initialised_) {
        initialised_ = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}
