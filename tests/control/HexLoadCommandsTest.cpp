#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <utility>

#include "app/BootloaderApp.h"
#include "catalogue/Catalogue.h"
#include "control/HexFileWatch.h"
#include "tests/control/ControlFixture.h"

namespace {

using LogLine = std::pair<std::string, std::string>;

// The load commands need an identified device but no board.
class HexLoadCommandsTest : public ControlTest {
protected:
    HexLoadCommandsTest() {
        std::string name;
        CDeviceInfo& device = theApp().m_device;
        EXPECT_EQ(LookupDevice(ShippedCatalogueDir() + "qor_dspiclist.xml", "0x0101", device, name),
                  CatalogueLookup::Found);
        std::strncpy(device.name, name.c_str(), sizeof device.name - 1);
    }
};

TEST_F(HexLoadCommandsTest, LoadEnablesTheWriteOnlyWithThePortOpen) {
    control_->SetHexPath(SampleHexPath());
    control_->Load();
    EXPECT_EQ(control_->HexLoaded(), 1);
    EXPECT_FALSE(control_->Commands().run || control_->Commands().write ||
                 control_->Commands().reload);
    EXPECT_EQ(Chosen(), (std::array<bool, 3>{true, true, false}));

    StartBoard(Options());
    ASSERT_TRUE(Connect());
    EXPECT_FALSE(control_->Commands().write);
    window_.log.clear();
    control_->Load();
    EXPECT_EQ(window_.log, (std::vector<LogLine>{{"Load HEX file", "ok"}}));
    EXPECT_TRUE(control_->Commands().run && control_->Commands().write &&
                control_->Commands().reload);
    EXPECT_FALSE(control_->Busy());
}

TEST_F(HexLoadCommandsTest, FailedLoadDisablesTheWriteAndKeepsThePath) {
    control_->SetHexPath((dir_.path() / "missing.hex").string());
    control_->Load();

    EXPECT_EQ(window_.log, (std::vector<LogLine>{{"Load HEX file", "failed"}}));
    ASSERT_EQ(window_.boxes.size(), 1u);
    EXPECT_EQ(window_.boxes[0].caption, "loading error");
    EXPECT_EQ(control_->HexLoaded(), 0);
    EXPECT_FALSE(control_->Commands().write);
    EXPECT_FALSE(control_->HexPath().empty());
}

TEST_F(HexLoadCommandsTest, ReloadLogsItsOutcomeChangesNoEnableStateAndWaitsForIdle) {
    control_->Reload();  // no path yet: nothing
    EXPECT_TRUE(window_.calls.empty());
    control_->SetHexPath(SampleHexPath());
    // Busy while a silent board is being detected.
    BoardOptions silent = Options();
    silent.faults.silent = true;
    StartBoard(silent);
    control_->Reconnect();
    ASSERT_TRUE(control_->Busy());
    window_.calls.clear();
    control_->Reload();
    control_->Load();
    EXPECT_TRUE(window_.calls.empty());

    control_->Stop();
    ASSERT_TRUE(Pump([this] { return !control_->Busy(); }));
    window_.log.clear();
    control_->Reload();
    control_->SetHexPath((dir_.path() / "missing.hex").string());
    control_->Reload();
    EXPECT_EQ(window_.log, (std::vector<LogLine>{{"Reloading", "ok"}, {"Reloading", "failed"}}));
    EXPECT_FALSE(control_->Commands().write || control_->Commands().reload);
    // The reload follows the file as an open does; the failed one changes nothing.
    EXPECT_EQ(Chosen(), (std::array<bool, 3>{true, true, false}));
}

// The sample as a tool chain leaves it while it writes the file anew: cut in the middle of
// its third line.
std::string CutSample() {
    const std::string sample = testsupport::ReadFile(SampleHexPath());
    std::size_t third = 0;
    for (int line = 0; line < 2; ++line) third = sample.find('\n', third) + 1;
    return sample.substr(0, third + 10);
}

// A reload of a file caught half-written never leaves a half image behind: a write after it
// sends the last good image, so the chip keeps the jump into its bootloader at word 0; a
// reconnect or the change watch that meets the cut file leaves the write disabled.
TEST_F(ControlTest, AFailedReloadNeverLetsAHalfImageReachTheChip) {
    StartBoard(Options());
    ASSERT_TRUE(Connect());
    const auto file = dir_.Write("firmware.hex", testsupport::ReadFile(SampleHexPath()));
    control_->SetHexPath(file.string());
    control_->Load();
    ASSERT_EQ(control_->HexLoaded(), 1);
    WriteAndWait();
    const std::vector<std::uint32_t> goodRows = RowsReceived();
    ASSERT_FALSE(goodRows.empty());
    ASSERT_EQ(board_->Word(0), 0x7C00);
    ASSERT_EQ(board_->Word(1), 0x0004);

    dir_.Write("firmware.hex", CutSample());
    window_.log.clear();
    control_->Reload();
    EXPECT_EQ(window_.log, (std::vector<LogLine>{{"Reloading", "failed"}}));
    EXPECT_EQ(control_->LastLoad().result, HexLoadResult::BadLine);
    EXPECT_EQ(control_->LastLoad().line, 3);
    EXPECT_EQ(theApp().m_device.images[kBlockCode].ReadWord(0), 0x7C00);

    WriteAndWait();
    const std::vector<std::uint32_t> rows = RowsReceived();
    ASSERT_EQ(rows.size(), 2 * goodRows.size());
    EXPECT_EQ(
        std::vector<std::uint32_t>(rows.begin() + static_cast<long>(goodRows.size()), rows.end()),
        goodRows);
    EXPECT_EQ(board_->Word(0), 0x7C00);
    EXPECT_EQ(board_->Word(1), 0x0004);

    // The change watch asks, the cut file is loaded again and refused: no write over it.
    std::filesystem::last_write_time(
        file, std::filesystem::file_time_type::clock::now() + std::chrono::hours(1));
    testsupport::RecordingMessageBox answers;
    answers.QueueAnswer(BoxAnswer::Yes);
    HexFileWatch watch(*control_, answers);
    watch.OnActivationChange();
    EXPECT_EQ(answers.boxes.size(), 1u);
    EXPECT_FALSE(control_->Commands().write);

    // A reconnect reloads the file for the same device; the cut file leaves the write off.
    board_->Reset();
    ASSERT_TRUE(Connect());
    EXPECT_FALSE(control_->Commands().write);
    EXPECT_FALSE(theApp().m_device.images[kBlockCode].hasData);
}

}  // namespace
