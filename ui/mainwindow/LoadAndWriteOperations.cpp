#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QSignalBlocker>
#include <cstdint>

#include "app/BootloaderApp.h"
#include "common/Product.h"
#include "control/DetectionTexts.h"
#include "ui/Images.h"
#include "ui/mainwindow/CLoadAndWriteDialog.h"
#include "ui/mainwindow/LabelFit.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"

using namespace mainwindow;

namespace {

// The controls each enable flag switches.
struct EnableGroup {
    bool CommandStates::*flag;
    std::initializer_list<int> controls;
};

const EnableGroup kEnableGroups[] = {
    {&CommandStates::open, {kIdcOpen, kIdcOpenLabel}},
    {&CommandStates::run, {kIdcRun, kIdcRunLabel}},
    {&CommandStates::reconnect, {kIdcReconnect, kIdcReconnectLabel}},
    {&CommandStates::reload, {kIdcReload, kIdcReloadLabel}},
    {&CommandStates::write, {kIdcWrite, kIdcWriteLabel, kIdcWriteHint}},
};

// Firmware version bytes are signed: 0xFF reads -1.
QString VersionText(const unsigned char (&version)[3]) {
    return QStringLiteral("%1.%2")
        .arg(static_cast<std::int8_t>(version[0]))
        .arg(static_cast<std::int8_t>(version[1]));
}

}  // namespace

QLabel* CLoadAndWriteDialog::Label(int id) const {
    return ControlAs<QLabel>(id);
}

QCheckBox* CLoadAndWriteDialog::BlockCheck(int block) const {
    return ControlAs<QCheckBox>(kBlockCheckIds[block]);
}

void CLoadAndWriteDialog::AddLogLine(const std::string& message, const std::string& result) {
    log_.AddLine(message, result);
}

void CLoadAndWriteDialog::SetControlEnabled(QWidget* control, bool enabled) {
    if (!enabled && control->hasFocus()) {
        setFocus(Qt::OtherFocusReason);
        ParkFocus(control);
    }
    control->setEnabled(enabled);
}

void CLoadAndWriteDialog::ParkFocus(QWidget* control) {
    parkedFocus_ = control;
    parkedFrom_ = focusWidget();
}

void CLoadAndWriteDialog::ReturnParkedFocus() {
    if (parkedFocus_ == nullptr || !parkedFocus_->isEnabled()) return;
    // Focus the user has put somewhere else meanwhile stays there.
    const QWidget* now = focusWidget();
    if (now == this || now == parkedFrom_) parkedFocus_->setFocus(Qt::OtherFocusReason);
    parkedFocus_ = nullptr;
    parkedFrom_ = nullptr;
}

void CLoadAndWriteDialog::UpdateControlStates() {
    for (const EnableGroup& group : kEnableGroups) {
        const bool enabled = control_->Commands().*group.flag;
        for (const int id : group.controls) SetControlEnabled(Control(id), enabled);
    }
    if (!control_->Commands().write) {
        for (int block = kBlockCode; block <= kBlockConfig; ++block) {
            SetControlEnabled(BlockCheck(block), false);
        }
        progressBar_->hide();
    }
    ReturnParkedFocus();
}

void CLoadAndWriteDialog::SetStatusLamp(Lamp state) {
    if (const int image = LampImage(images_, static_cast<int>(state))) {
        QLabel* lamp = Label(kIdcStatusLamp);
        const QPixmap bitmap = LoadBitmap(image);
        lamp->setPixmap(bitmap);
        // A bitmap static takes the size of its bitmap.
        lamp->resize(bitmap.deviceIndependentSize().toSize());
    }
    repaint();
}

void CLoadAndWriteDialog::ShowStatus() {
    const StatusView& status = control_->Status();
    SetStatusText(status.text);
    Label(kIdcStatusLamp)->setVisible(status.lampVisible);
    Label(kIdcStatusText)->setVisible(status.textVisible);
    progressBar_->setVisible(status.barVisible);
    SetStatusLamp(status.lamp);
}

void CLoadAndWriteDialog::ShowVersions() {
    const CBootloaderApp& app = app_;
    Label(kIdcFirmwareVersion)->setText(VersionText(app.m_firmwareVersion));
    Label(kIdcSoftwareVersion)->setText(QLatin1String(product::kSoftwareVersion));
    Label(kIdcDeviceName)->setText(QString::fromLocal8Bit(app.m_device.name));
    for (const int id : {kIdcFirmwareVersion, kIdcSoftwareVersion, kIdcDeviceName,
                         kIdcFirmwareVersionLabel, kIdcSoftwareVersionLabel}) {
        Label(id)->setFont(m_labelFont);
        FitLabelToText(*Label(id));
    }
}

void CLoadAndWriteDialog::UpdateBlockChecks() {
    for (int block = kBlockCode; block <= kBlockConfig; ++block) {
        QCheckBox* box = BlockCheck(block);
        // The session decides what is offered and chosen; a block the file has nothing for is
        // never written, whatever was ticked for an earlier file.
        const QSignalBlocker quiet(box);
        box->setChecked(control_->BlockChosen(block));
        SetControlEnabled(box, control_->BlockOffered(block));
    }
}

void CLoadAndWriteDialog::ShowDeviceRanges() {
    for (int block = kBlockCode; block <= kBlockConfig; ++block) {
        const CMemoryImage& image = app_.m_device.images[block];
        // The labels and boxes of memories the device does not have stay as they were.
        if (!image.present) continue;
        SetRangeLabel(block, MemoryRangeText(image));
        Label(kRangeLabelIds[block])->show();
        BlockCheck(block)->show();
    }
}

void CLoadAndWriteDialog::SetStatusText(const std::string& text) {
    Label(kIdcStatusText)->setText(QString::fromStdString(text));
    FitLabelToText(*Label(kIdcStatusText));
}

void CLoadAndWriteDialog::SetRangeLabel(int block, const std::string& text) {
    Label(kRangeLabelIds[block])->setText(QString::fromStdString(text));
    FitLabelToText(*Label(kRangeLabelIds[block]));
}

void CLoadAndWriteDialog::RefreshCursor() {
    if (control_->Busy()) {
        setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
    }
}

void CLoadAndWriteDialog::OnLogLine(const std::string& message, bool ok) {
    AddLogLine(message, ok ? "ok" : "failed");
}

void CLoadAndWriteDialog::OnChanged(SessionChange change) {
    switch (change) {
        case SessionChange::Status:
            ShowStatus();
            break;
        case SessionChange::Progress:
            progress_.Show(control_->Progress());
            break;
        case SessionChange::Commands:
            UpdateControlStates();
            RefreshCursor();
            if (!control_->Busy()) FinishStationWrite();
            break;
        case SessionChange::Device:
            ShowDeviceRanges();
            ShowVersions();
            break;
        case SessionChange::Blocks:
            UpdateBlockChecks();
            break;
        case SessionChange::BlockDone:
            break;
        case SessionChange::Timer:
            if (control_->TimerWanted()) {
                StartDetectionTimer();
            } else {
                KillDetectionTimer();
            }
            break;
    }
}

BoxAnswer CLoadAndWriteDialog::OnBox(const SessionBox& box) {
    // The box keeps its own text; what it leaves out follows, as pelorant-cli prints it.
    const std::string text = box.cause.empty() ? box.text : box.text + "\n\n" + box.cause;
    if (stationWrite_) writeCause_ = box.cause.empty() ? box.text : box.cause;
    return boxes_.Show(text, box.caption, box.icon, box.buttons);
}
