#include "tests/soak/MainWindowDriver.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <QTreeWidget>
#include <cstdio>

#include "app/BootloaderApp.h"
#include "protocol/Workers.h"
#include "tools/sim/VirtualBoard.h"
#include "ui/DialogTemplate.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"

namespace {

// Always chooses the soak's HEX file.
class FixedFileDialog : public IHexFileDialog {
public:
    explicit FixedFileDialog(std::string path) : path_(std::move(path)) {}
    std::optional<std::string> ChooseHexFile(QWidget&) override { return path_; }

private:
    std::string path_;
};

template <class Predicate>
bool PumpUntil(Predicate done) {
    QDeadlineTimer deadline(60000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

constexpr int kBlockChecks[] = {mainwindow::kIdcProgramFlash, mainwindow::kIdcWriteEeprom,
                                mainwindow::kIdcConfigureRegisters};

}  // namespace

BoxAnswer MainWindowDriver::Boxes::Show(const std::string& text, const std::string& caption,
                                        BoxIcon, BoxButtons) {
    ++shown;
    std::fprintf(stderr, "message box \"%s\": %s\n", caption.c_str(), text.c_str());
    return BoxAnswer::No;
}

MainWindowDriver::MainWindowDriver(VirtualBoard& board, int comNumber, std::string hexPath)
    : board_(board), comNumber_(comNumber), hexPath_(std::move(hexPath)) {}

MainWindowDriver::~MainWindowDriver() {
    window_.reset();
    theApp().m_serialPort.ClosePort();
}

// As pages 1/3 and 2/3 leave it: the port open, the chip detected and identified.
bool MainWindowDriver::Connect() {
    CBootloaderApp& app = theApp();
    app.m_comNumber = comNumber_;
    app.m_baudRate = 115200;
    if (app.m_serialPort.InitPort(static_cast<unsigned>(comNumber_), 115200, 'N', 8, 1, 9, 512) ==
        0) {
        return false;
    }
    MessageQueue results;
    app.m_detectionParam.notifyWindow = &results;
    app.m_detectionParam.stop = 0;
    DetectionWorker(app.Engine());
    app.m_detectionParam.notifyWindow = nullptr;
    const std::optional<WindowMessage> detected = results.TryTake();
    if (!detected || detected->wParam != Code(DetectionResult::Synchronised) ||
        IdentifyDevice(app.Engine()) != IdentifyResult::Identified) {
        return false;
    }
    window_ = std::make_unique<CLoadAndWriteDialog>(theApp(), boxes_,
                                                    std::make_unique<FixedFileDialog>(hexPath_));
    window_->show();
    return true;
}

bool MainWindowDriver::WaitWhileBusy() {
    return PumpUntil([this] { return !window_->Programming().Busy(); });
}

std::pair<std::string, std::string> MainWindowDriver::LastLogLine() const {
    const auto* list = dialog::FindControlAs<QTreeWidget>(window_.get(), mainwindow::kIdcLog);
    const QTreeWidgetItem* item = list->topLevelItem(list->topLevelItemCount() - 1);
    if (item == nullptr) return {};
    return {item->text(1).toStdString(), item->text(3).toStdString()};
}

// The window never ticks the configuration registers itself; the user does.
void MainWindowDriver::TickEveryFilledBlock() {
    for (const int id : kBlockChecks) {
        auto* box = dialog::FindControlAs<QCheckBox>(window_.get(), id);
        if (box->isEnabled()) box->setChecked(true);
    }
}

bool MainWindowDriver::Load() {
    window_->OnOpenCommand();
    TickEveryFilledBlock();
    return window_->Programming().HexLoaded() == 1 && LastLogLine().second == "ok" &&
           boxes_.shown == 0;
}

bool MainWindowDriver::Write() {
    window_->OnWriteCommand();
    return WaitWhileBusy() && boxes_.shown == 0 &&
           LastLogLine() ==
               std::make_pair(std::string("dsPIC write process completed"), std::string("ok"));
}

bool MainWindowDriver::Run() {
    window_->OnRunCommand();
    return PumpUntil([this] { return board_.UserProgramRunning(); }) &&
           LastLogLine().second == "ok";
}

// The user presses the board's reset button, then "reconnect".
bool MainWindowDriver::Reconnect() {
    board_.Reset();
    window_->OnReconnectCommand();
    if (!WaitWhileBusy() || window_->Programming().PortOpen() != 1 || boxes_.shown != 0) {
        return false;
    }
    TickEveryFilledBlock();
    return true;
}

std::array<bool, 3> MainWindowDriver::TickedBlocks() const {
    const ProgrammingSession& session = window_->Programming();
    return {session.BlockChosen(0), session.BlockChosen(1), session.BlockChosen(2)};
}
