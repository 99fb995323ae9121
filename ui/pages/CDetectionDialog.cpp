#include "ui/pages/CDetectionDialog.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QProgressBar>
#include <QTimerEvent>

#include "app/BootloaderApp.h"
#include "common/MessageBox.h"
#include "ui/Images.h"
#include "ui/WindowMessageEvent.h"
#include "ui/controls/CTransparentBitmapStatic.h"
#include "ui/pages/DetectionTexts.h"
#include "ui/templates/WizardTemplates.h"

CDetectionDialog::CDetectionDialog(IMessageBox& boxes, QWidget* parent)
    : CTemplateDialog(templates::DetectionTemplate(), parent),
      m_picture(ControlAs<CTransparentBitmapStatic>(templates::kIdcDetectionPicture)),
      m_progress(ControlAs<QProgressBar>(templates::kIdcProgress)),
      boxes_(boxes),
      target_(this) {
    setWindowIcon(AppIcon());
}

CDetectionDialog::~CDetectionDialog() {
    StopWorker();
}

void CDetectionDialog::OnInitDialog() {
    m_detected = false;
    m_progress->setRange(1, kLastStep);
    m_progress->setValue(1);

    DetectionThreadParam& param = theApp().m_detectionParam;
    param.notifyWindow = &target_;
    param.stop = 0;
    if (!worker_.Start([engine = theApp().Engine()] { DetectionWorker(engine); })) {
        boxes_.Show("Unable to start dsPIC detection process", "detection failed", BoxIcon::Error,
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
    if (m_progress->value() >= kLastStep) {
        theApp().m_detectionParam.stop = 1;
    } else {
        m_progress->setValue(m_progress->value() + 1);
    }
}

void CDetectionDialog::customEvent(QEvent* event) {
    if (!WindowMessageEvent::IsWindowMessage(event)) {
        CTemplateDialog::customEvent(event);
        return;
    }
    const auto* message = static_cast<WindowMessageEvent*>(event);
    if (ended_ || message->Message() != kMsgDetectionFinished) return;
    OnDetectionFinished(static_cast<int>(message->WParam()));
}

void CDetectionDialog::OnDetectionFinished(int workerResult) {
    StopTimer();
    // The worker has posted its only message and is ending; the port is this thread's again
    // once it has.
    worker_.Join();
    if (workerResult != Code(DetectionResult::Synchronised)) {
        boxes_.Show(DetectionFailedText(workerResult), kIdentificationFailedCaption, BoxIcon::Error,
                    BoxButtons::Ok);
        reject();
        return;
    }
    const IdentifyResult identified = IdentifyDevice(theApp().Engine());
    if (identified != IdentifyResult::Identified) {
        boxes_.Show(IdentificationFailedText(Code(identified)), kIdentificationFailedCaption,
                    BoxIcon::Error, BoxButtons::Ok);
        reject();
        return;
    }
    const CBootloaderApp& app = theApp();
    boxes_.Show(DetectedText(app.m_device.name, app.m_firmwareVersion[0], app.m_firmwareVersion[1]),
                kDetectionSuccessCaption, BoxIcon::Information, BoxButtons::Ok);
    m_detected = true;
    accept();
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
    if (worker_.Joinable()) {
        theApp().m_detectionParam.stop = 1;
        worker_.Join();
    }
    QCoreApplication::removePostedEvents(this, static_cast<int>(kMsgDetectionFinished));
    if (theApp().m_detectionParam.notifyWindow == &target_) {
        theApp().m_detectionParam.notifyWindow = nullptr;
    }
}
