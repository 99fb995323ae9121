#include "ui/pages/CInitialSplash.h"

#include <QTimerEvent>

#include "common/Product.h"
#include "ui/controls/CTransparentStatic2.h"
#include "ui/templates/WizardTemplates.h"

CInitialSplash::CInitialSplash(QWidget* parent)
    : CTemplateDialog(templates::SplashTemplate(), parent),
      m_status(ControlAs<CTransparentStatic2>(templates::kIdcStatus)),
      m_version(ControlAs<CTransparentStatic2>(templates::kIdcVersion)) {}

void CInitialSplash::OnInitDialog() {
    m_tickCount = 0;
    m_timerId = startTimer(kTickMs);
    setWindowTitle(QStringLiteral("vardeno dsPIC bootloader"));
    m_version->SetTextColor(90, 90, 90);
    m_version->setText(QStringLiteral("ver.") + QLatin1String(product::kSoftwareVersion));
}

void CInitialSplash::StopTimer() {
    if (m_timerId != 0) killTimer(m_timerId);
    m_timerId = 0;
}

void CInitialSplash::timerEvent(QTimerEvent* event) {
    // Only the splash's own timer counts: a stray tick after closing changes nothing.
    if (m_timerId == 0 || event->timerId() != m_timerId) {
        CTemplateDialog::timerEvent(event);
        return;
    }
    if (m_tickCount == 0) {
        StopTimer();
        m_status->setText(QStringLiteral("detecting COM ports..."));
        m_timerId = startTimer(kTickMs);
    } else if (m_tickCount == 1) {
        StopTimer();
        reject();
    }
    ++m_tickCount;
}
