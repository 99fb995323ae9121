#pragma once

#include <optional>

#include "control/DetectionRun.h"
#include "protocol/ResetSequence.h"
#include "ui/QtMessageTarget.h"
#include "ui/pages/CTemplateDialog.h"

class CBootloaderApp;
class CTransparentBitmapStatic;
class IMessageBox;
class QProgressBar;

// Page 2/3: runs the detection worker on the open port, identifies the chip and reports the
// result. Ends with OK only once the chip is identified.
class CDetectionDialog : public CTemplateDialog {
    Q_OBJECT

public:
    static constexpr int kTickMs = 1000;
    static constexpr int kLastStep = 44;  // the time limit: one step a second

    // The time limit is counted on `clock`.
    CDetectionDialog(CBootloaderApp& app, IMessageBox& boxes, const IClock& clock = SteadyClock(),
                     QWidget* parent = nullptr);
    ~CDetectionDialog() override;

    CTransparentBitmapStatic* m_picture;
    bool m_detected = false;
    int m_timerId = 0;
    QProgressBar* m_progress;

public slots:
    // Refused until the chip is identified.
    void accept() override;
    // Ends the page; a worker still running is stopped and joined first.
    void done(int result) override;

protected:
    void OnInitDialog() override;
    void timerEvent(QTimerEvent* event) override;
    void customEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    CBootloaderApp& app_;
    void OnDetectionFinished(DetectionResult workerResult);
    void StopTimer();
    void StopWorker();
    // A failure's box: the page's own text, then its cause as pelorant-cli prints it.
    void ShowFailure(const std::string& text, const std::string& cause);

    IMessageBox& boxes_;
    QtMessageTarget target_;
    // Played after the first probe when page 1/3 chose a reset; none: the user's hand.
    std::optional<bootproto::ResetSequence> reset_;
    DetectionRun detection_;
    bool ended_ = false;
};
