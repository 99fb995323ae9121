#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QProgressBar>
#include <QTimerEvent>
#include <memory>

#include "app/BootloaderApp.h"
#include "control/DetectionTexts.h"
#include "tests/support/ManualClock.h"
#include "tests/support/TestSupport.h"
#include "tests/ui/support/PageEnvironment.h"
#include "tests/ui/support/QtTestApp.h"
#include "ui/WindowMessageEvent.h"
#include "ui/controls/CTransparentBitmapStatic.h"
#include "ui/pages/CDetectionDialog.h"
#include "ui/templates/WizardTemplates.h"

namespace {

constexpr int kCom = 43;
constexpr const char* kContact = "If problem persists contact vardeno at www.example.com";

class DetectionPageTest : public uitest::QtTest {
protected:
    // A board on COM43 with the port open on it and the shipped catalogue as working path.
    void StartBoard(BoardOptions options = {}) {
        board_ = uitest::PageEnvironment::StartBoard(kCom, options);
        ASSERT_TRUE(board_);
        ASSERT_TRUE(uitest::PageEnvironment::OpenPort(kCom));
        theApp().m_comNumber = kCom;  // as page 1/3 leaves it
        uitest::PageEnvironment::SetWorkingPath(uitest::PageEnvironment::CatalogueDirectory());
    }

    // Opens the page and waits until it has ended itself.
    QDialog::DialogCode Run(CDetectionDialog& page) {
        page.open();
        EXPECT_TRUE(uitest::PumpUntil([&] { return !page.isVisible(); }));
        return static_cast<QDialog::DialogCode>(page.result());
    }

    static void PressEnter(QWidget& page) {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QCoreApplication::sendEvent(&page, &enter);
    }

    // The page's timer ticks the time limit away at once.
    void RunOutOfTime(CDetectionDialog& page) {
        for (int i = 0; i < CDetectionDialog::kLastStep; ++i) Tick(page);
    }

    // A second passes on the page's clock, and its timer ticks.
    void Tick(CDetectionDialog& page) {
        clock_.Advance(std::chrono::seconds(1));
        QTimerEvent tick(page.m_timerId);
        QCoreApplication::sendEvent(&page, &tick);
    }

    ManualClock clock_;

    uitest::PageEnvironment environment_;
    testsupport::RecordingMessageBox boxes_;
    std::unique_ptr<VirtualBoard> board_;
};

}  // namespace

TEST_F(DetectionPageTest, IdentifiesTheBoardAndEndsWithOk) {
    BoardOptions options;
    options.firmwareMajor = 2;
    options.firmwareMinor = 0xFF;  // shown signed
    StartBoard(options);
    CDetectionDialog page(theApp(), boxes_);
    EXPECT_EQ(page.m_picture, dialog::FindControl(&page, templates::kIdcDetectionPicture));
    EXPECT_EQ(Run(page), QDialog::Accepted);
    EXPECT_TRUE(page.m_detected);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_EQ(boxes_.boxes[0].text, "dsPIC30F4011 detected\nfirmware version: 2.-1");
    EXPECT_EQ(boxes_.boxes[0].caption, "detection success");
    EXPECT_EQ(boxes_.boxes[0].icon, BoxIcon::Information);
    EXPECT_STREQ(theApp().m_device.name, "dsPIC30F4011");
    EXPECT_EQ(page.m_progress->minimum(), 1);
    EXPECT_EQ(page.m_progress->maximum(), 44);
}

TEST_F(DetectionPageTest, EnterIsIgnoredUntilDetectedAndTheTimeLimitStopsTheWorker) {
    BoardOptions options;
    options.faults.silent = true;
    StartBoard(options);
    CDetectionDialog page(theApp(), boxes_, clock_);
    page.open();
    PressEnter(page);
    page.accept();
    QCoreApplication::processEvents();
    EXPECT_TRUE(page.isVisible()) << "OK refused before the chip is identified";

    for (int step = 2; step <= 5; ++step) {
        Tick(page);
        EXPECT_EQ(page.m_progress->value(), step);
    }
    EXPECT_EQ(theApp().m_detectionParam.stop.load(), 0);
    RunOutOfTime(page);
    EXPECT_EQ(page.m_progress->value(), 44);
    EXPECT_EQ(theApp().m_detectionParam.stop.load(), 1);

    ASSERT_TRUE(uitest::PumpUntil([&] { return !page.isVisible(); }));
    EXPECT_EQ(page.result(), QDialog::Rejected);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    // The box keeps its text and caption; its last line says what the stop code -4 meant.
    EXPECT_EQ(boxes_.boxes[0].text,
              std::string("dsPIC detection process failed.\nReason: Unknown error\n\nShutdown your "
                          "platform and try again.\n") +
                  kContact +
                  "\n\nno bootloader answered on COM43 within 44 s: reset the board while the "
                  "detection waits, and check the baud rate and the cable");
    EXPECT_EQ(boxes_.boxes[0].caption, "dsPIC identification failed.");
    EXPECT_EQ(boxes_.boxes[0].icon, BoxIcon::Error);
}

TEST_F(DetectionPageTest, EachBoardFailureGivesItsText) {
    enum class Catalogue { Shipped, Missing, WithoutTheDevice };
    struct Case {
        const char* what;
        BoardFaults faults;
        Catalogue catalogue;
        std::string expected;
    };
    // The shipped catalogue with the board's identifier changed.
    std::string shipped =
        testsupport::ReadFile(uitest::PageEnvironment::CatalogueDirectory() / "qor_dspiclist.xml");
    const std::string boardId = "id=\"0x0101\"";
    const std::size_t id = shipped.find(boardId);
    ASSERT_NE(id, std::string::npos);
    shipped.replace(id, boardId.size(), "id=\"0x0F0F\"");
    testsupport::TempDir withoutDevice;
    withoutDevice.Write("qor_dspiclist.xml", shipped);
    BoardFaults shortIdentify;
    shortIdentify.shortIdentify = true;
    BoardFaults badVersion;
    badVersion.badVersionAck = true;
    BoardFaults vanishing;
    vanishing.vanishAtProbe = 0;
    const Case cases[] = {
        {"short identification reply", shortIdentify, Catalogue::Shipped,
         std::string("dsPIC detection process failed.\nReason: Timeout expired\n\nShutdown your "
                     "platform and try again.\n") +
             kContact + "\n\nTimeout expired: the line went quiet during the detection"},
        {"port gone during the detection", vanishing, Catalogue::Shipped,
         std::string("dsPIC detection process failed.\nReason: Port went away (adapter unplugged "
                     "or line hung up)\n\nShutdown your platform and try again.\n") +
             kContact + "\n\nthe port COM43 went away (adapter unplugged or line hung up)"},
        {"bad version acknowledge", badVersion, Catalogue::Shipped,
         std::string("dsPIC identification failed.\nError: Firmare detection failed.\n\n") +
             kContact},
        {"no catalogue in the working path", BoardFaults{}, Catalogue::Missing,
         std::string("dsPIC identification failed.\nError: Error reading XML file.\n\n") +
             kContact},
        {"identifier not in the catalogue", BoardFaults{}, Catalogue::WithoutTheDevice,
         std::string("dsPIC identification failed.\nError: dsPIC not found.\n\n") + kContact},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        BoardOptions options;
        options.faults = c.faults;
        StartBoard(options);
        if (c.catalogue == Catalogue::Missing) {
            uitest::PageEnvironment::SetWorkingPath(environment_.Dir());
        } else if (c.catalogue == Catalogue::WithoutTheDevice) {
            uitest::PageEnvironment::SetWorkingPath(withoutDevice.path());
        }
        boxes_.boxes.clear();
        CDetectionDialog page(theApp(), boxes_);
        EXPECT_EQ(Run(page), QDialog::Rejected);
        ASSERT_EQ(boxes_.boxes.size(), 1u);
        EXPECT_EQ(boxes_.boxes[0].text, c.expected);
        EXPECT_EQ(boxes_.boxes[0].caption, "dsPIC identification failed.");
        theApp().m_serialPort.ClosePort();
        board_.reset();
    }
}

TEST_F(DetectionPageTest, ResultCodesTheWorkerNeverSendsStillGetTheirReasons) {
    CDetectionDialog page(theApp(), boxes_);  // never shown: no worker
    WindowMessageEvent result(kMsgDetectionFinished, -3, 0);
    QCoreApplication::sendEvent(&page, &result);
    ASSERT_EQ(boxes_.boxes.size(), 1u);
    EXPECT_NE(boxes_.boxes[0].text.find("Reason: Unknown error\n"), std::string::npos);
    EXPECT_EQ(page.result(), QDialog::Rejected);

    EXPECT_STREQ(DetectionReason(DetectionResult::WriteError), "Writing error");
    EXPECT_STREQ(IdentificationError(IdentifyResult::NoBootloader), "XML syntax error");
    EXPECT_STREQ(IdentificationError(static_cast<IdentifyResult>(-9)), "Unknown");
}

TEST_F(DetectionPageTest, ClosingThePageStopsItsWorkerFirst) {
    BoardOptions options;
    options.faults.silent = true;
    StartBoard(options);
    {
        CDetectionDialog page(theApp(), boxes_);
        page.open();
        page.reject();  // Escape or the close box
        EXPECT_FALSE(page.isVisible());
        EXPECT_EQ(theApp().m_detectionParam.stop.load(), 1);
        QCoreApplication::processEvents();
    }
    {
        auto page = std::make_unique<CDetectionDialog>(theApp(), boxes_);
        page->open();
        page.reset();  // destroyed while its worker probes
    }
    QCoreApplication::processEvents();
    EXPECT_TRUE(boxes_.boxes.empty()) << "no result reaches a closed page";
}
