#pragma once

#include <QString>
#include <deque>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tests/ui/support/PageEnvironment.h"
#include "tests/ui/support/QtTestApp.h"
#include "tools/sim/VirtualBoard.h"
#include "ui/mainwindow/CLoadAndWriteDialog.h"
#include "ui/mainwindow/HexFileDialog.h"

// Chooses the files a test queued, then cancels.
class ScriptedFileDialog : public IHexFileDialog {
public:
    explicit ScriptedFileDialog(std::deque<std::string>& choices) : choices_(choices) {}
    std::optional<std::string> ChooseHexFile(QWidget&) override;

private:
    std::deque<std::string>& choices_;
};

struct LogRow {
    QString number;
    QString message;
    QString time;
    QString result;
};

// One line of the log as the list shows it.
std::vector<LogRow> LogRows(const CLoadAndWriteDialog& window);
// The (message, result) pairs of the log, oldest first.
std::vector<std::pair<std::string, std::string>> LogLines(const CLoadAndWriteDialog& window);

std::filesystem::path SampleHexPath();

// Page 3/3 as start-up leaves it: a virtual dsPIC30F4011 on an open port, detected and
// identified, and the window shown with recorded boxes and a scripted file dialog.
class MainWindowTest : public uitest::QtTest {
protected:
    static constexpr int kCom = 61;

    MainWindowTest();
    ~MainWindowTest() override;

    // Starts the board, opens the port and identifies the device as pages 1/3 and 2/3 do.
    void Connect(BoardOptions options = {});
    void MakeWindow();
    ProgrammingSession& Control() { return window_->Programming(); }
    QWidget* Widget(int id) const;
    QString Text(int id) const;
    bool Enabled(int id) const { return Widget(id)->isEnabled(); }
    // A copy of the sample firmware in the test's directory, for tests that change the file.
    std::filesystem::path CopyOfSample(const std::string& name = "firmware.hex");
    // Opens `path` through the open command.
    void Open(const std::filesystem::path& path);
    // Runs the event loop until the window is no longer busy; false when it stayed busy.
    bool WaitWhileBusy(int limitMs = 30000);
    // Sends the window an activation change, as switching to another program does.
    void SwitchAway();

    uitest::PageEnvironment environment_;
    testsupport::RecordingMessageBox boxes_;
    std::deque<std::string> fileChoices_;
    std::unique_ptr<VirtualBoard> board_;
    std::unique_ptr<CLoadAndWriteDialog> window_;
};
