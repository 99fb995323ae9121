#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <cstdint>

#include "app/BootloaderApp.h"
#include "common/Product.h"
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

// The last word address of the jump into the bootloader that every load writes itself.
constexpr std::uint32_t kResetVectorEnd = 2;

// Whether the loaded file put data into the block. The reset vector is the loader's, not the
// file's: written alone it would replace the chip's first row, interrupt vectors and all.
bool FileFilled(const CMemoryImage& image, int block) {
    if (!image.hasData || !image.cells) return false;
    if (block != kBlockCode) return true;
    for (std::uint32_t i = 0; i <= image.count; ++i) {
        if (image.cells[i].used && image.start + i > kResetVectorEnd) return true;
    }
    return false;
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

void CLoadAndWriteDialog::ShowProgressGroup(bool show) {
    ShowStatusLamp(show);
    ShowStatusText(show);
    ShowProgressBar(show);
}

void CLoadAndWriteDialog::SetStatusLamp(int state) {
    if (const int image = LampImage(images_, state)) {
        QLabel* lamp = Label(kIdcStatusLamp);
        const QPixmap bitmap = LoadBitmap(image);
        lamp->setPixmap(bitmap);
        // A bitmap static takes the size of its bitmap.
        lamp->resize(bitmap.deviceIndependentSize().toSize());
    }
    repaint();
}

void CLoadAndWriteDialog::ShowVersions() {
    const CBootloaderApp& app = theApp();
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
        const bool filled = FileFilled(theApp().m_device.images[block], block);
        // The program never ticks the configuration registers by itself; and a block the file
        // has nothing for is never written, whatever was ticked for an earlier file.
        box->setChecked(filled && block != kBlockConfig);
        SetControlEnabled(box, filled);
    }
}

void CLoadAndWriteDialog::SetStatusText(const std::string& text) {
    Label(kIdcStatusText)->setText(QString::fromStdString(text));
    FitLabelToText(*Label(kIdcStatusText));
}

void CLoadAndWriteDialog::ShowStatusText(bool show) {
    Label(kIdcStatusText)->setVisible(show);
}

void CLoadAndWriteDialog::ShowStatusLamp(bool show) {
    Label(kIdcStatusLamp)->setVisible(show);
}

void CLoadAndWriteDialog::ShowProgressBar(bool show) {
    progressBar_->setVisible(show);
}

void CLoadAndWriteDialog::ShowProgress(const Progress& progress) {
    progress_.Show(progress);
}

bool CLoadAndWriteDialog::BlockCheckVisible(int block) const {
    return BlockCheck(block)->isVisibleTo(this);
}

bool CLoadAndWriteDialog::BlockChecked(int block) const {
    return BlockCheck(block)->isChecked();
}

void CLoadAndWriteDialog::SetRangeLabel(int block, const std::string& text) {
    Label(kRangeLabelIds[block])->setText(QString::fromStdString(text));
    FitLabelToText(*Label(kRangeLabelIds[block]));
}

void CLoadAndWriteDialog::ShowBlockControls(int block) {
    Label(kRangeLabelIds[block])->show();
    BlockCheck(block)->show();
}

void CLoadAndWriteDialog::RefreshCursor() {
    if (control_->Busy()) {
        setCursor(Qt::WaitCursor);
    } else {
        unsetCursor();
    }
}
