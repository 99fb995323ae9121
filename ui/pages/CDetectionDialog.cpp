#include "ui/pages/CDetectionDialog.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QTimerEvent>

#include "app/BootloaderApp.h"
#include "common/MessageBox.h"
#include "control/CauseTexts.h"
#include "control/DetectionTexts.h"
#include "ui/Images.h"
#include "ui/WindowMessageEvent.h"
#include "ui/controls/CTransparentBitmapStatic.h"
#include "ui/pages/ResetChoice.h"
#include "ui/templates/WizardTemplates.h"

CDetectionDialog::CDetectionDialog(CBootloaderApp& app, IMessageBox& boxes, const IClock& clock,
                                   QWidget* parent)
    : CTemplateDialog(templates::DetectionTemplate(), parent),
      m_picture(ControlAs<CTransparentBitmapStatic>(templates::kIdcDetectionPicture)),
      m_progress(ControlAs<QProgressBar>(templates::kIdcProgress)),
      app_(app),
      boxes_(boxes),
      target_(this),
      reset_(ResetSequenceFor(app.m_reset)),
      detection_(app.Engine(), clock) {
    setWindowIcon(AppIcon());
    if (reset_) {
        // The board is reset for the user, who only has to connect and power it.
        ControlAs<QLabel>(templates::kIdcDetectionText)
            ->setText(QStringLiteral("Plug your dsPIC platform in the selected COM and power "
                                     "it.\nReset through %1. Wait for dsPIC detection.")
                          .arg(QString::fromStdString(ResetLinesName(app.m_reset))));
    }
}

CDetectionDialog::~CDetectionDialog() {
    StopWorker();
}

void CDetectionDialog::OnInitDialog() {
    m_detected = false;
    m_progress->setRange(1, kLastStep);
    m_progress->setValue(1);

    if (!detection_.Start(target_, kLastStep, reset_ ? &*reset_ : nullptr)) {
        boxes_.Show(kDetectionNotStartedText, kDetectionNotStartedCaption, BoxIcon::Error,
                    BoxButtons::Ok);
        return;
    }
    m_timerId = startTimer(kTickMs);
}

void CDetectionDialog::timerEvent(QTimerEvent* event) {
    if (m_timerId == 0 || event->timerId() != m_timerId) {
        CTemplateDialog::timerEvent(event);
        return;
    }
    if (!isVisible()) return;
    // The bar starts at its first step and moves one a second; at the limit the worker is
    // asked to stop, again at every tick until it has reported.
    detection_.Tick();
    m_progress->setValue(static_cast<int>(1 + detection_.SecondsWaited()));
}

void CDetectionDialog::customEvent(QEvent* event) {
    if (!WindowMessageEvent::IsWindowMessage(event)) {
        CTemplateDialog::customEvent(event);
        return;
    }
    const auto* message = static_cast<WindowMessageEvent*>(event);
    if (ended_ || message->Message() != kMsgDetectionFinished) return;
    OnDetectionFinished(static_cast<DetectionResult>(message->WParam()));
}

void CDetectionDialog::OnDetectionFinished(DetectionResult workerResult) {
    StopTimer();
    const DetectionOutcome outcome = detection_.Finish(workerResult);
    if (!outcome.identification) {
        std::string cause = DetectionCause(outcome.detection, EnginePortName(app_.Engine()),
                                           kLastStep, reset_.has_value());
        if (outcome.detection == DetectionResult::ResetFailed) {
            cause += std::string(": ") + app_.m_serialPort.LastFailureText();
        }
        ShowFailure(DetectionFailedText(outcome.detection), cause);
        reject();
        return;
    }
    if (!outcome.Identified()) {
        boxes_.Show(IdentificationFailedText(*outcome.identification), kIdentificationFailedCaption,
                    BoxIcon::Error, BoxButtons::Ok);
        reject();
        return;
    }
    const CBootloaderApp& app = app_;
    boxes_.Show(DetectedText(app.m_device.name, app.m_firmwareVersion[0], app.m_firmwareVersion[1]),
                kDetectionSuccessCaption, BoxIcon::Information, BoxButtons::Ok);
    m_detected = true;
    accept();
}

void CDetectionDialog::ShowFailure(const std::string& text, const std::string& cause) {
    boxes_.Show(text + "\n\n" + cause, kIdentificationFailedCaption, BoxIcon::Error,
                BoxButtons::Ok);
}

void CDetectionDialog::accept() {
    if (!m_detected) return;
    CTemplateDialog::accept();
}

void CDetectionDialog::keyPressEvent(QKeyEvent* event) {
    // Enter is the page's OK, which waits for the chip.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        accept();
        return;
    }
    CTemplateDialog::keyPressEvent(event);
}

void CDetectionDialog::done(int result) {
    ended_ = true;
    StopTimer();
    StopWorker();
    CTemplateDialog::done(result);
}

void CDetectionDialog::StopTimer() {
    if (m_timerId != 0) killTimer(m_timerId);
    m_timerId = 0;
}

void CDetectionDialog::StopWorker() {
    target_.Detach();
    detection_.Stop();
    QCoreApplication::removePostedEvents(this, static_cast<int>(kMsgDetectionFinished));
}
