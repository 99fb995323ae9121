#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>

#include "ui/mainwindow/CLoadAndWriteDialog.h"
#include "ui/mainwindow/FileDrop.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"
#include "ui/pages/CAboutDialog.h"

using namespace mainwindow;

namespace {

// Enter on a bitmap button runs its command and moves the focus on; on "&clean" it cleans.
struct ReturnKeyRoute {
    int button;
    void (CLoadAndWriteDialog::*command)();
    int focusTo;
};

constexpr ReturnKeyRoute kReturnKeyRoutes[] = {
    {kIdcRun, &CLoadAndWriteDialog::OnRunCommand, kIdcReconnect},
    {kIdcReconnect, &CLoadAndWriteDialog::OnReconnectCommand, kIdcReload},
    {kIdcReload, &CLoadAndWriteDialog::OnReloadCommand, kIdcReload},
    {kIdcOpen, &CLoadAndWriteDialog::OnOpenCommand, kIdcRun},
    {kIdcWrite, &CLoadAndWriteDialog::OnWriteCommand, kIdcOpen},
    {kIdcCleanLog, &CLoadAndWriteDialog::OnCleanCommand, kIdcCleanLog},
};

}  // namespace

bool CLoadAndWriteDialog::RunReturnKeyCommand(QObject* target) {
    for (const ReturnKeyRoute& route : kReturnKeyRoutes) {
        if (Control(route.button) != target) continue;
        (this->*route.command)();
        // A button that the command has just disabled takes the focus once it is enabled.
        QWidget* next = Control(route.focusTo);
        if (next->isEnabled()) {
            next->setFocus();
        } else {
            ParkFocus(next);
        }
        return true;
    }
    return false;
}

void CLoadAndWriteDialog::OnOpenCommand() {
    if (control_->Busy()) return;
    // The file dialog deactivates the window; a question about the old file would come up on
    // top of it. It waits until the dialog has closed, and is not asked once another file is
    // opened.
    fileDialogOpen_ = true;
    const std::optional<std::string> chosen = fileDialog_->ChooseHexFile(*this);
    fileDialogOpen_ = false;
    if (chosen) {
        OpenFile(*chosen);
    } else {
        watch_.OnActivationChange();
    }
    AfterEvent();
}

bool CLoadAndWriteDialog::OpenAllowed() const {
    return !control_->Busy() && control_->Commands().open;
}

void CLoadAndWriteDialog::dragEnterEvent(QDragEnterEvent* event) {
    if (OpenAllowed() && DroppedFile(*event->mimeData())) event->acceptProposedAction();
}

void CLoadAndWriteDialog::dragMoveEvent(QDragMoveEvent* event) {
    if (OpenAllowed() && DroppedFile(*event->mimeData())) event->acceptProposedAction();
}

void CLoadAndWriteDialog::dropEvent(QDropEvent* event) {
    const std::optional<std::string> file = DroppedFile(*event->mimeData());
    if (!OpenAllowed() || !file) return;
    event->acceptProposedAction();
    OpenFile(*file);
    AfterEvent();
}

void CLoadAndWriteDialog::OpenFile(const std::string& path) {
    SetWindowTitleFor(path);
    control_->Open(path);
}

void CLoadAndWriteDialog::SetWindowTitleFor(const std::string& hexPath) {
    const QString fileName = QFileInfo(QFile::decodeName(hexPath.c_str())).fileName();
    setWindowTitle(QLatin1String(kLoadAndWriteCaption) + QStringLiteral(" (") + fileName +
                   QLatin1Char(')'));
}

void CLoadAndWriteDialog::OnWriteCommand() {
    if (station_ && !control_->Busy() && control_->Commands().write) {
        const GivenSerial serial = station_->Prepare(*control_);
        if (!serial.Given()) {
            AddLogLine(serial.failure, "failed");
            AfterEvent();
            return;
        }
        if (serial.number) AddLogLine("Serial number " + std::to_string(*serial.number), "ok");
        stationWrite_ = true;
        writeCause_.clear();
    }
    // Every way the write ends, also at once, ends in a change of the commands that leaves
    // the session idle: the station's part ends there.
    control_->Write();
    AfterEvent();
}

void CLoadAndWriteDialog::OnRunCommand() {
    control_->Run();
    AfterEvent();
}

void CLoadAndWriteDialog::OnReconnectCommand() {
    control_->Reconnect();
    AfterEvent();
}

void CLoadAndWriteDialog::OnReloadCommand() {
    control_->Reload();
    AfterEvent();
}

void CLoadAndWriteDialog::OnCleanCommand() {
    log_.Clean();
}

void CLoadAndWriteDialog::OnAboutCommand() {
    CAboutDialog about(this);
    about.exec();
}
