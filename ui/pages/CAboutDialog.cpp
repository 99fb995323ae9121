#include "ui/pages/CAboutDialog.h"

#include "common/Product.h"
#include "ui/Images.h"
#include "ui/controls/CTransparentStatic2.h"
#include "ui/templates/WizardTemplates.h"

CAboutDialog::CAboutDialog(QWidget* parent)
    : CTemplateDialog(templates::AboutTemplate(), parent),
      m_version(ControlAs<CTransparentStatic2>(templates::kIdcVersion)) {
    setWindowIcon(AppIcon());
}

void CAboutDialog::OnInitDialog() {
    m_version->setText(QStringLiteral("ver.") + QLatin1String(product::kSoftwareVersion));
    m_version->SetTextColor(90, 90, 90);
}
