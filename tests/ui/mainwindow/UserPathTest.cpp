#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QTimer>
#include <QTimerEvent>
#include <functional>
#include <vector>

#include "app/BootloaderApp.h"
#include "tests/ui/mainwindow/HexWords.h"
#include "tests/ui/mainwindow/MainWindowFixture.h"
#include "ui/DialogTemplate.h"
#include "ui/QtStartupPages.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"
#include "ui/pages/CConfigurationDialog.h"
#include "ui/pages/CDetectionDialog.h"
#include "ui/pages/CInitialSplash.h"

using namespace mainwindow;

namespace {

constexpr int kCom = 62;
using LogLine = std::pair<std::string, std::string>;

// Plays the user from the splash to the main window, then runs the test's steps in the main
// window one after another; each step says when it is done. Gives up, closing every window,
// when the steps take too long.
class User {
public:
    using Step = std::function<bool(CLoadAndWriteDialog&)>;

    User(std::filesystem::path hexFile, std::vector<Step> steps)
        : hexFile_(std::move(hexFile)), steps_(std::move(steps)), deadline_(60000) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Act(); });
        timer_.start(10);
    }

    bool finished = false;

private:
    void Act() {
        QWidget* modal = QApplication::activeModalWidget();
        if (deadline_.hasExpired()) {
            ADD_FAILURE() << "the user's steps did not finish in time, at step " << next_;
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        } else if (auto* splash = dynamic_cast<CInitialSplash*>(modal)) {
            QTimerEvent tick(splash->m_timerId);
            QCoreApplication::sendEvent(splash, &tick);
        } else if (auto* configuration = dynamic_cast<CConfigurationDialog*>(modal)) {
            const int board = configuration->m_comboPort->findText(
                QStringLiteral("(COM%1)").arg(kCom), Qt::MatchEndsWith);
            ASSERT_GE(board, 0);
            configuration->m_comboPort->setCurrentIndex(board);
            configuration->accept();
        } else if (auto* files = qobject_cast<QFileDialog*>(modal)) {
            ChooseFile(*files);
        } else if (auto* window = dynamic_cast<CLoadAndWriteDialog*>(modal)) {
            RunStep(*window);
        }
    }

    void ChooseFile(QFileDialog& files) {
        EXPECT_EQ(files.windowTitle(), "select hex file to load");
        EXPECT_EQ(files.nameFilters(), QStringList({"intel HEX files (*.hex)", "All files (*)"}));
        EXPECT_EQ(files.defaultSuffix(), "hex");
        files.selectFile(QString::fromStdString(hexFile_.string()));
        static_cast<QDialog&>(files).accept();
    }

    void RunStep(CLoadAndWriteDialog& window) {
        if (next_ < steps_.size()) {
            if (steps_[next_](window)) ++next_;
        } else {
            finished = true;
            window.accept();
        }
    }

    std::filesystem::path hexFile_;
    std::vector<Step> steps_;
    std::size_t next_ = 0;
    QDeadlineTimer deadline_;
    QTimer timer_;
};

class UserPathTest : public uitest::QtTest {
protected:
    void SetUp() override {
        board_ = uitest::PageEnvironment::StartBoard(kCom);
        ASSERT_TRUE(board_);
        ASSERT_TRUE(uitest::PageEnvironment::WriteInstalledSettings(0));
    }

    // Clicks once the step has returned: a timer's handler must not block in a dialog, or the
    // timer stops firing until it is closed.
    static void Click(CLoadAndWriteDialog& window, int id) {
        QMetaObject::invokeMethod(dialog::FindControlAs<QAbstractButton>(&window, id),
                                  &QAbstractButton::click, Qt::QueuedConnection);
    }

    // Every word of the file in program flash and data EEPROM, with the reset vector into the
    // bootloader, is on the board, except in the bootloader and on protected words.
    void ExpectBoardHoldsTheFile() {
        CDeviceInfo& device = theApp().m_device;
        std::map<std::uint32_t, std::uint16_t> expected = ReadHexWords(SampleHexPath());
        expected[0] = static_cast<std::uint16_t>(device.bootStart & 0xFFFF);
        expected[1] = 0x0004;
        expected[2] = static_cast<std::uint16_t>((device.bootStart >> 16) & 0xFF);
        int compared = 0;
        for (const auto& [address, value] : expected) {
            CMemoryImage& code = device.images[kBlockCode];
            CMemoryImage& eeprom = device.images[kBlockEeprom];
            CMemoryImage* image = code.Holds(address)     ? &code
                                  : eeprom.Holds(address) ? &eeprom
                                                          : nullptr;
            if (image == nullptr || board_->InsideBootloader(address) ||
                image->IsProtected(address)) {
                continue;
            }
            EXPECT_EQ(board_->Word(address), value) << std::hex << "word 0x" << address;
            ++compared;
        }
        EXPECT_GT(compared, 100);
    }

    uitest::PageEnvironment environment_;
    testsupport::RecordingMessageBox boxes_;
    std::unique_ptr<VirtualBoard> board_;
};

TEST_F(UserPathTest, StartOpenWriteRunReconnectAndWriteAgain) {
    std::size_t rowsAfterFirstWrite = 0;
    // Whether the newest log line has `message` and the window is idle again.
    const auto ended = [](CLoadAndWriteDialog& window, const std::string& message) {
        return LogLines(window).back().first == message && window.Programming().Busy() == 0;
    };
    User user(SampleHexPath(),
              {
                  [](CLoadAndWriteDialog& window) {
                      Click(window, kIdcOpen);
                      return true;
                  },
                  [&](CLoadAndWriteDialog& window) {
                      if (!ended(window, "Load HEX file")) return false;
                      EXPECT_EQ(LogLines(window).back().second, "ok");
                      uitest::SaveScreenshot(window, QStringLiteral("main-before-write"));
                      Click(window, kIdcWrite);
                      return true;
                  },
                  [&](CLoadAndWriteDialog& window) {
                      if (!ended(window, "dsPIC write process completed")) return false;
                      EXPECT_EQ(LogLines(window).back().second, "ok");
                      uitest::SaveScreenshot(window, QStringLiteral("main-after-write"));
                      ExpectBoardHoldsTheFile();
                      rowsAfterFirstWrite = board_->RowsProgrammed();
                      Click(window, kIdcRun);
                      return true;
                  },
                  [&](CLoadAndWriteDialog& window) {
                      if (!ended(window, "Running program") || !board_->UserProgramRunning()) {
                          return false;
                      }
                      EXPECT_EQ(LogLines(window).back().second, "ok");
                      board_->Reset();
                      Click(window, kIdcReconnect);
                      return true;
                  },
                  [&](CLoadAndWriteDialog& window) {
                      if (!ended(window, "Detection&Sync process finished")) return false;
                      EXPECT_EQ(LogLines(window).back().second, "ok");
                      EXPECT_EQ(window.Programming().HexLoaded(), 1) << "loaded again";
                      Click(window, kIdcWrite);
                      return true;
                  },
                  [&](CLoadAndWriteDialog& window) {
                      if (!ended(window, "dsPIC write process completed")) return false;
                      EXPECT_EQ(LogLines(window).back().second, "ok");
                      EXPECT_EQ(board_->RowsProgrammed(), 2 * rowsAfterFirstWrite);
                      return true;
                  },
              });
    QtStartupPages pages(theApp(), boxes_);
    EXPECT_FALSE(theApp().InitInstance(pages));

    EXPECT_TRUE(user.finished);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].caption, "detection success");
}

}  // namespace
