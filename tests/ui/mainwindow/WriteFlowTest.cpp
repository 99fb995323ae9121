#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QTest>

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
    // The box's own text, then the cause the command-line tool prints.
    EXPECT_EQ(boxes_.boxes[0].text,
              "Error code: 3\nWrite process of this block, not completed.\nProceed anyway?\n\n"
              "program flash: the board refused the row at 0x000000 (byte 0xEE)");
    EXPECT_EQ(boxes_.boxes[0].caption, "write error");
    const auto lines = LogLines(*window_);
    EXPECT_NE(std::find(lines.begin(), lines.end(), LogLine{"flash write finished", "failed"}),
              lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), LogLine{"eeprom write finished", "ok"}),
              lines.end());
    // The block passed over is not on the chip: never a green lamp over it.
    EXPECT_EQ(lines.back(), (LogLine{"dsPIC write process completed", "failed"}));
    EXPECT_EQ(LogRows(*window_).back().result, "failed");
    EXPECT_TRUE(LampShows(228));
    EXPECT_EQ(Text(kIdcStatusText), "failed");
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

// Every way of closing the window asks first while a write runs.
struct CloseCase {
    const char* name;
    void (*close)(CLoadAndWriteDialog& window);
};

class CloseDuringWriteTest : public WriteFlowTest, public ::testing::WithParamInterface<CloseCase> {
protected:
    void StartSlowWrite() {
        BoardOptions options;
        options.lineTiming = true;
        // A code row takes about 70 ms on the line: long enough to close mid-write, well
        // inside the 200 ms the host waits for its acknowledgement.
        options.baud = 19200;
        theApp().m_baudRate = 19200;
        ConnectAndOpen(options);
        window_->OnWriteCommand();
        ASSERT_TRUE(uitest::PumpUntil([this] { return RowFrames() > 0; }));
        EXPECT_EQ(window_->cursor().shape(), Qt::WaitCursor);
    }

    void ExpectTheQuestion() {
        ASSERT_EQ(boxes_.boxes.size(), 1u);
        EXPECT_EQ(boxes_.boxes[0].text,
                  "A write is in progress. Stop after the current row and close?");
        EXPECT_EQ(boxes_.boxes[0].buttons, BoxButtons::YesNoDefaultNo) << "Enter keeps writing";
    }
};

TEST_P(CloseDuringWriteTest, YesStopsAfterTheRowSaysWhereAndCloses) {
    StartSlowWrite();
    boxes_.QueueAnswer(BoxAnswer::Yes);
    GetParam().close(*window_);

    ExpectTheQuestion();
    EXPECT_FALSE(window_->isVisible());
    EXPECT_FALSE(Control().WorkerRunning());
    const std::size_t programmed = board_->RowsProgrammed();
    EXPECT_LT(programmed, 5u) << "four code rows and one EEPROM row were planned";
    EXPECT_EQ(RowFrames(), programmed) << "the row on the line was finished, no other sent";
    const auto lines = LogLines(*window_);
    ASSERT_GE(lines.size(), 2u);
    EXPECT_EQ(lines[lines.size() - 2], (LogLine{"write stopped: " + std::to_string(programmed) +
                                                    " rows of program flash written",
                                                "failed"}));
    EXPECT_EQ(lines.back(), (LogLine{"dsPIC write process completed", "failed"}));
    QCoreApplication::processEvents();
    EXPECT_EQ(LogLines(*window_).size(), lines.size()) << "nothing the writer posted is handled";
    window_.reset();
}

TEST_P(CloseDuringWriteTest, NoLetsTheWriteFinish) {
    StartSlowWrite();
    boxes_.QueueAnswer(BoxAnswer::No);
    GetParam().close(*window_);

    ExpectTheQuestion();
    EXPECT_TRUE(window_->isVisible());
    ASSERT_TRUE(WaitWhileBusy());
    EXPECT_EQ(LogLines(*window_).back(), (LogLine{"dsPIC write process completed", "ok"}));
    EXPECT_EQ(RowFrames(), 5u);
}

INSTANTIATE_TEST_SUITE_P(Ways, CloseDuringWriteTest,
                         ::testing::Values(CloseCase{"escape",
                                                     [](CLoadAndWriteDialog& w) {
                                                         QTest::keyClick(&w, Qt::Key_Escape);
                                                     }},
                                           CloseCase{"close_box",
                                                     [](CLoadAndWriteDialog& w) { w.close(); }},
                                           CloseCase{"enter_elsewhere",
                                                     [](CLoadAndWriteDialog& w) {
                                                         QWidget* box = w.findChild<QCheckBox*>();
                                                         box->setFocus();
                                                         QTest::keyClick(box, Qt::Key_Return);
                                                     }}),
                         [](const auto& entry) { return std::string(entry.param.name); });

TEST_F(WriteFlowTest, EnterInTheLogListNeverClosesTheWindow) {
    ConnectAndOpen();
    for (const bool writing : {false, true}) {
        if (writing) window_->OnWriteCommand();
        Widget(kIdcLog)->setFocus();
        QTest::keyClick(Widget(kIdcLog), Qt::Key_Return);
        EXPECT_TRUE(window_->isVisible()) << writing;
        EXPECT_TRUE(boxes_.boxes.empty()) << writing;
        ASSERT_TRUE(WaitWhileBusy());
    }
}

TEST_F(WriteFlowTest, ClosingTheWindowMidDetectionStopsTheWorker) {
    Connect();
    MakeWindow();
    BoardOptions silent;
    silent.faults.silent = true;
    board_.reset();
    board_ = uitest::PageEnvironment::StartBoard(kCom, silent);
    window_->OnReconnectCommand();
    ASSERT_EQ(Control().Busy(), 1);
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
    Control().SetDetectionLimit(2);  // two one-second ticks instead of 44
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
