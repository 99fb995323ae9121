#include "tests/ui/mainwindow/MainWindowFixture.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTreeWidget>

#include "app/BootloaderApp.h"
#include "protocol/Workers.h"
#include "ui/DialogTemplate.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"

namespace fs = std::filesystem;

std::optional<std::string> ScriptedFileDialog::ChooseHexFile(QWidget&) {
    if (choices_.empty()) return std::nullopt;
    std::string chosen = choices_.front();
    choices_.pop_front();
    return chosen;
}

std::vector<LogRow> LogRows(const CLoadAndWriteDialog& window) {
    const auto* list = dialog::FindControlAs<QTreeWidget>(&window, mainwindow::kIdcLog);
    std::vector<LogRow> rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        rows.push_back(LogRow{item->text(0), item->text(1), item->text(2), item->text(3)});
    }
    return rows;
}

std::vector<std::pair<std::string, std::string>> LogLines(const CLoadAndWriteDialog& window) {
    std::vector<std::pair<std::string, std::string>> lines;
    for (const LogRow& row : LogRows(window)) {
        lines.emplace_back(row.message.toStdString(), row.result.toStdString());
    }
    return lines;
}

fs::path SampleHexPath() {
    return fs::path(PELORANT_SOURCE_DIR) / "samples" / "dsPIC30F4011-counter.hex";
}

MainWindowTest::MainWindowTest() {
    uitest::PageEnvironment::SetWorkingPath(uitest::PageEnvironment::CatalogueDirectory());
    theApp().m_osName = "nonXP";
    theApp().m_baudRate = 115200;
}

MainWindowTest::~MainWindowTest() {
    window_.reset();
    theApp().m_serialPort.ClosePort();
    board_.reset();
}

void MainWindowTest::Connect(BoardOptions options) {
    board_ = uitest::PageEnvironment::StartBoard(kCom, options);
    ASSERT_TRUE(board_);
    ASSERT_TRUE(uitest::PageEnvironment::OpenPort(kCom));
    theApp().m_comNumber = kCom;

    MessageQueue results;
    DetectionThreadParam& param = theApp().m_detectionParam;
    param.notifyWindow = &results;
    param.stop = 0;
    DetectionWorker(theApp().Engine());
    param.notifyWindow = nullptr;
    const std::optional<WindowMessage> detected = results.TryTake();
    ASSERT_TRUE(detected);
    ASSERT_EQ(detected->wParam, Code(DetectionResult::Synchronised));
    ASSERT_EQ(IdentifyDevice(theApp().Engine()), IdentifyResult::Identified);
}

void MainWindowTest::MakeWindow() {
    window_ = std::make_unique<CLoadAndWriteDialog>(
        theApp(), boxes_, std::make_unique<ScriptedFileDialog>(fileChoices_));
    window_->show();
}

QWidget* MainWindowTest::Widget(int id) const {
    QWidget* widget = dialog::FindControl(window_.get(), id);
    EXPECT_NE(widget, nullptr) << "control " << id;
    return widget;
}

QString MainWindowTest::Text(int id) const {
    const auto* label = qobject_cast<QLabel*>(Widget(id));
    return label != nullptr ? label->text() : QString();
}

fs::path MainWindowTest::CopyOfSample(const std::string& name) {
    const fs::path copy = environment_.Dir() / name;
    fs::copy_file(SampleHexPath(), copy, fs::copy_options::overwrite_existing);
    return copy;
}

void MainWindowTest::Open(const fs::path& path) {
    fileChoices_.push_back(path.string());
    window_->OnOpenCommand();
}

bool MainWindowTest::WaitWhileBusy(int limitMs) {
    return uitest::PumpUntil([this] { return !Control().Busy(); }, limitMs);
}

void MainWindowTest::SwitchAway() {
    QEvent change(QEvent::ActivationChange);
    QCoreApplication::sendEvent(window_.get(), &change);
}
