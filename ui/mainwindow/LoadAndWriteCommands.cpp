#include <QFile>
#include <QFileInfo>

#include "ui/mainwindow/CLoadAndWriteDialog.h"
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
    const std::optional<std::string> chosen = fileDialog_->ChooseHexFile(*this);
    if (chosen) {
        SetWindowTitleFor(*chosen);
        control_->Open(*chosen);
    }
    AfterEvent();
}

void CLoadAndWriteDialog::SetWindowTitleFor(const std::string& hexPath) {
    const QString fileName = QFileInfo(QFile::decodeName(hexPath.c_str())).fileName();
    setWindowTitle(QLatin1String(kLoadAndWriteCaption) + QStringLiteral(" (") + fileName +
                   QLatin1Char(')'));
}

void CLoadAndWriteDialog::OnWriteCommand() {
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
