// What the status group says after a command failed: the failure's own status and a red
// lamp, never the last success or the detection's reset hint.
#include <gtest/gtest.h>

#include <QLabel>
#include <fstream>

#include "app/BootloaderApp.h"
#include "tests/ui/mainwindow/MainWindowFixture.h"
#include "ui/Images.h"
#include "ui/mainwindow/LoadAndWriteTemplate.h"

using namespace mainwindow;

namespace {

constexpr int kGreenLamp = 159;  // the "nonXP" set
constexpr int kRedLamp = 228;

class StatusAfterFailureTest : public MainWindowTest {
protected:
    bool LampShows(int bitmap) const {
        const QPixmap lamp = qobject_cast<QLabel*>(Widget(kIdcStatusLamp))->pixmap();
        return lamp.toImage() == LoadBitmap(bitmap).toImage();
    }

    void Break(const std::filesystem::path& file) { std::ofstream(file) << "not a HEX file\n"; }
};

TEST_F(StatusAfterFailureTest, AFailedIdentificationOnReconnectShowsItsOwnStatus) {
    enum class Cause { FirmwareVersion, CatalogueWithoutTheBoard };
    for (const Cause cause : {Cause::FirmwareVersion, Cause::CatalogueWithoutTheBoard}) {
        SCOPED_TRACE(static_cast<int>(cause));
        Connect();
        MakeWindow();
        if (cause == Cause::FirmwareVersion) {
            BoardOptions options;
            options.faults.badVersionAck = true;
            theApp().m_serialPort.ClosePort();
            board_.reset();
            board_ = uitest::PageEnvironment::StartBoard(kCom, options);
        } else {
            uitest::PageEnvironment::SetWorkingPath(environment_.Dir());
        }

        window_->OnReconnectCommand();
        ASSERT_TRUE(WaitWhileBusy());
        ASSERT_EQ(boxes_.boxes.size(), 1u);
        EXPECT_EQ(boxes_.boxes[0].caption, "dsPIC identification failed.");
        EXPECT_EQ(Text(kIdcStatusText), "identification failed");
        EXPECT_TRUE(LampShows(kRedLamp));
        EXPECT_TRUE(Enabled(kIdcReconnect));
        EXPECT_FALSE(Enabled(kIdcOpen) || Enabled(kIdcRun) || Enabled(kIdcWrite));

        window_.reset();
        board_.reset();
        boxes_.boxes.clear();
        uitest::PageEnvironment::SetWorkingPath(uitest::PageEnvironment::CatalogueDirectory());
    }
}

TEST_F(StatusAfterFailureTest, AFailedLoadShowsItsOwnStatusUntilAFileLoads) {
    enum class Failure { OpenARefusedFile, ReloadABrokenFile };
    for (const Failure failure : {Failure::OpenARefusedFile, Failure::ReloadABrokenFile}) {
        SCOPED_TRACE(static_cast<int>(failure));
        Connect();
        MakeWindow();
        const auto firmware = CopyOfSample();
        Open(firmware);
        window_->OnWriteCommand();
        ASSERT_TRUE(WaitWhileBusy());
        ASSERT_EQ(Text(kIdcStatusText), "write completed");
        ASSERT_TRUE(LampShows(kGreenLamp));

        if (failure == Failure::OpenARefusedFile) {
            const auto refused = environment_.Dir() / "refused.hex";
            Break(refused);
            Open(refused);
        } else {
            Break(firmware);
            window_->OnReloadCommand();
        }
        EXPECT_EQ(LogLines(*window_).back().second, "failed");
        EXPECT_FALSE(boxes_.boxes.empty()) << "the load's own box";
        EXPECT_EQ(Text(kIdcStatusText), "load failed");
        EXPECT_TRUE(LampShows(kRedLamp));

        Open(CopyOfSample("again.hex"));
        EXPECT_EQ(LogLines(*window_).back().second, "ok");
        EXPECT_EQ(Text(kIdcStatusText), "ready");
        EXPECT_TRUE(LampShows(kGreenLamp));

        window_.reset();
        boxes_.boxes.clear();
        theApp().m_serialPort.ClosePort();
        board_.reset();
    }
}

}  // namespace
