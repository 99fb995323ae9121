#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>

#include "app/BootloaderApp.h"
#include "tests/ui/mainwindow/MainWindowFixture.h"
#include "ui/Images.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"

using namespace mainwindow;

namespace {

using LogLine = std::pair<std::string, std::string>;

class WriteFlowTest : public MainWindowTest {
protected:
    void ConnectAndOpen(BoardOptions options = {}) {
        Connect(options);
        MakeWindow();
        Open(SampleHexPath());
        ASSERT_EQ(LogLines(*window_).back().second, "ok");
    }

    bool LampShows(int bitmap) const {
        const QPixmap lamp = qobject_cast<QLabel*>(Widget(kIdcStatusLamp))->pixmap();
        return lamp.toImage() == LoadBitmap(bitmap).toImage();
    }

    std::size_t RowFrames() const {
        std::size_t rows = 0;
        for (const ReceivedFrame& frame : board_->Frames()) {
            if (!frame.bytes.empty() && frame.bytes[0] == 0x02) ++rows;
        }
        return rows;
    }
};

TEST_F(WriteFlowTest, AFailedBlockAnsweredYesGoesOnToTheNextBlock) {
    BoardOptions options;
    options.faults.refuseRow = 0;
    ConnectAndOpen(options);
    boxes_.QueueAnswer(BoxAnswer::Yes);
    window_->OnWriteCommand();
    ASSERT_TRUE(WaitWhileBusy());

    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text,
              "Error code: 3\nWrite process of this block, not completed.\nProceed anyway?");
    EXPECT_EQ(boxes_.boxes[0].caption, "write error");
    const auto lines = LogLines(*window_);
    EXPECT_NE(std::find(lines.begin(), lines.end(), LogLine{"flash write finished", "failed"}),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), LogLine{"eeprom write finished", "ok"}),
              lines.end());
    EXPECT_EQ(lines.back(), (LogLine{"dsPIC write process completed", "ok"}));
    EXPECT_TRUE(LampShows(159));
    EXPECT_EQ(Text(kIdcStatusText), "write completed");
    EXPECT_FALSE(Widget(kIdcProgress)->isVisible());
}

TEST_F(WriteFlowTest, AFailedBlockAnsweredNoEndsTheWriteAsFailed) {
    BoardOptions options;
    options.faults.refuseRow = 0;
    ConnectAndOpen(options);
    window_->OnWriteCommand();
    ASSERT_TRUE(WaitWhileBusy());

    ASSERT_EQ(boxes_.boxes.size(), 1u);
    const auto lines = LogLines(*window_);
    EXPECT_EQ(std::find(lines.begin(), lines.end(), LogLine{"eeprom write finished", "ok"}),
              lines.end());
    EXPECT_EQ(lines.back(), (LogLine{"dsPIC write process completed", "failed"}));
    EXPECT_TRUE(LampShows(228));
    EXPECT_EQ(Text(kIdcStatusText), "failed");
    for (const int id : {kIdcOpen, kIdcRun, kIdcReload, kIdcReconnect}) {
        EXPECT_TRUE(Enabled(id)) << id;
    }
    EXPECT_EQ(window_->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(WriteFlowTest, ClosingTheWindowMidWriteStopsTheWriterAfterItsRow) {
    BoardOptions options;
    options.lineTiming = true;
    options.baud = 9600;  // a code row takes about 0.2 s on the line
    theApp().m_baudRate = 9600;
    ConnectAndOpen(options);
    window_->OnWriteCommand();
    ASSERT_TRUE(uitest::PumpUntil([this] { return RowFrames() > 0; }));
    EXPECT_EQ(window_->cursor().shape(), Qt::WaitCursor);

    window_->reject();
    EXPECT_FALSE(Control().WorkerRunning());
    EXPECT_LT(RowFrames(), 5u) << "four code rows and one EEPROM row were planned";
    const std::size_t lines = LogRows(*window_).size();
    QCoreApplication::processEvents();
    EXPECT_EQ(LogRows(*window_).size(), lines) << "nothing the writer posted is handled";
    window_.reset();
}

TEST_F(WriteFlowTest, ClosingTheWindowMidDetectionStopsTheWorker) {
    Connect();
    MakeWindow();
    BoardOptions silent;
    silent.faults.silent = true;
    board_.reset();
    board_ = uitest::PageEnvironment::StartBoard(kCom, silent);
    window_->OnReconnectCommand();
    ASSERT_EQ(Control().m_busy, 1);
    EXPECT_NE(window_->m_detectTimerId, 0);
    EXPECT_EQ(window_->cursor().shape(), Qt::WaitCursor);

    window_->reject();
    EXPECT_FALSE(Control().WorkerRunning());
    EXPECT_EQ(window_->m_detectTimerId, 0);
}

TEST_F(WriteFlowTest, ASilentBoardIsGivenUpWhenTheBarIsFull) {
    Connect();
    MakeWindow();
    BoardOptions silent;
    silent.faults.silent = true;
    board_.reset();
    board_ = uitest::PageEnvironment::StartBoard(kCom, silent);
    Control().m_detectionTicks = 2;  // two one-second ticks instead of 44
    window_->OnReconnectCommand();
    EXPECT_EQ(Text(kIdcStatusText), "reset (restart) your dsPIC platform");
    EXPECT_TRUE(LampShows(227));
    ASSERT_TRUE(WaitWhileBusy(20000));

    EXPECT_EQ(LogLines(*window_).back(), (LogLine{"Detection&Sync process finished", "failed"}));
    EXPECT_EQ(Text(kIdcStatusText), "not connected");
    EXPECT_TRUE(LampShows(228));
    EXPECT_FALSE(Enabled(kIdcOpen) || Enabled(kIdcRun) || Enabled(kIdcWrite));
    EXPECT_TRUE(Enabled(kIdcReconnect));
    EXPECT_EQ(window_->cursor().shape(), Qt::ArrowCursor);
}

}  // namespace
