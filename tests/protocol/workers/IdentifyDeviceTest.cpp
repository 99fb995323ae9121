#include <chrono>
#include <cstring>
#include <thread>

#include "app/BootloaderApp.h"
#include "catalogue/Catalogue.h"
#include "protocol/Workers.h"
#include "tests/protocol/workers/WorkerTestSupport.h"

namespace {

using namespace std::chrono_literals;
using workertest::BoardTest;

class IdentifyDeviceTest : public BoardTest {
protected:
    void SetUp() override {
        theApp().m_deviceId[0] = workertest::kIdHigh;
        theApp().m_deviceId[1] = workertest::kIdLow;
        std::strcpy(theApp().m_device.name, "previous device");
    }

    void WriteHostCatalogue(const std::string& deviceId) {
        dir_.Write("qor_dspiclist.xml", workertest::TestCatalogue(deviceId));
    }

    // Frames the board has received, once it has had time to take in anything in flight.
    std::size_t SettledFrameCount() const {
        std::this_thread::sleep_for(100ms);
        return board_->Frames().size();
    }
};

TEST_F(IdentifyDeviceTest, IdentifiesTheDeviceAndReadsItsFirmwareVersion) {
    BoardOptions options = DefaultOptions();
    options.firmwareMajor = 2;
    options.firmwareMinor = 7;
    StartBoard(options);
    WriteHostCatalogue(workertest::kDeviceId);

    EXPECT_EQ(IdentifyDevice(theApp().Engine()), IdentifyResult::Identified);
    const CBootloaderApp& app = theApp();
    EXPECT_STREQ(app.m_device.name, workertest::kDeviceName);
    EXPECT_EQ(app.m_firmwareVersion[0], 2);
    EXPECT_EQ(app.m_firmwareVersion[1], 7);
    EXPECT_EQ(app.m_firmwareVersion[2], 0x55);
    EXPECT_EQ(app.m_device.bootStart, workertest::kBootStart);
    EXPECT_EQ(app.m_device.bootEnd, workertest::kBootEnd);
    EXPECT_TRUE(app.m_device.images[kBlockConfig].present);
    EXPECT_EQ(app.m_device.images[kBlockCode].instructionsPerRow, 32);
}

TEST_F(IdentifyDeviceTest, MissingCatalogueSendsNothing) {
    StartBoard(DefaultOptions());
    const std::size_t before = SettledFrameCount();
    EXPECT_EQ(IdentifyDevice(theApp().Engine()), IdentifyResult::CatalogueUnreadable);
    EXPECT_EQ(SettledFrameCount(), before);
    EXPECT_STREQ(theApp().m_device.name, "previous device");
}

TEST_F(IdentifyDeviceTest, UnknownIdentifierIsNotFound) {
    StartBoard(DefaultOptions());
    WriteHostCatalogue("0x0A0C");
    EXPECT_EQ(IdentifyDevice(theApp().Engine()), IdentifyResult::DeviceNotFound);
    EXPECT_TRUE(board_->Frames().empty());
}

TEST_F(IdentifyDeviceTest, BadVersionAcknowledgeKeepsTheOldName) {
    BoardOptions options = DefaultOptions();
    options.faults.badVersionAck = true;
    StartBoard(options);
    WriteHostCatalogue(workertest::kDeviceId);

    EXPECT_EQ(IdentifyDevice(theApp().Engine()), IdentifyResult::FirmwareFailed);
    EXPECT_STREQ(theApp().m_device.name, "previous device");
    EXPECT_EQ(theApp().m_device.images[kBlockCode].GetEnd(), 0x0FFFu);
}

TEST_F(IdentifyDeviceTest, MissingVersionReplyCannotPassOnAnEarlierAcknowledge) {
    BoardOptions options = DefaultOptions();
    options.faults.silent = true;
    StartBoard(options);
    WriteHostCatalogue(workertest::kDeviceId);
    theApp().m_firmwareVersion[0] = 1;
    theApp().m_firmwareVersion[1] = 4;
    theApp().m_firmwareVersion[2] = 0x55;

    EXPECT_EQ(IdentifyDevice(theApp().Engine()), IdentifyResult::FirmwareFailed);
    EXPECT_NE(theApp().m_firmwareVersion[2], 0x55);
    EXPECT_STREQ(theApp().m_device.name, "previous device");
}

struct VersionCase {
    const char* name;
    BoardFaults faults;
    IdentifyResult expected;
};

class VersionFailureTest : public IdentifyDeviceTest,
                           public ::testing::WithParamInterface<VersionCase> {};

// Each way the version request fails is told apart, and none changes the device's name.
TEST_P(VersionFailureTest, NamesItsCause) {
    BoardOptions options = DefaultOptions();
    options.faults = GetParam().faults;
    StartBoard(options);
    WriteHostCatalogue(workertest::kDeviceId);
    EXPECT_EQ(IdentifyDevice(theApp().Engine()), GetParam().expected);
    EXPECT_STREQ(theApp().m_device.name, "previous device");
}

INSTANTIATE_TEST_SUITE_P(
    Causes, VersionFailureTest,
    ::testing::Values(
        VersionCase{"bad_acknowledge", {.badVersionAck = true}, IdentifyResult::FirmwareFailed},
        VersionCase{"no_reply", {.silent = true}, IdentifyResult::FirmwareFailed},
        VersionCase{"port_gone", {.vanishAtVersion = true}, IdentifyResult::PortLost}),
    [](const auto& entry) { return std::string(entry.param.name); });

}  // namespace
