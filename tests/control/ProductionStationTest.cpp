// A station writing board after board: each gets its own number before its rows go out, a
// failed board burns its number or gives it back, and every board leaves a line in the log.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "app/BootloaderApp.h"
#include "control/ProductionStation.h"
#include "tests/control/ControlFixture.h"

namespace {

constexpr std::uint32_t kSerialAt = 0x7FFC10;  // data EEPROM, beside the sample's own row

struct StationCase {
    const char* what;
    bool refusingBoard;
    bool reuseOnFail;
    std::uint32_t address;
    // Expected:
    bool written;
    const char* state;  // the state file afterwards; null: never made
    const char* note;   // a line the station gives, or ""
};

class ProductionStationTest : public ControlTest,
                              public ::testing::WithParamInterface<StationCase> {};

TEST_P(ProductionStationTest, EachBoardGetsItsNumberAndItsLine) {
    const StationCase& c = GetParam();
    BoardOptions options = Options();
    if (c.refusingBoard) options.faults.refuseRow = 0;
    StartBoard(options);
    ASSERT_TRUE(Connect());
    LoadSample();

    ProductionSettings settings;
    settings.serials = true;
    settings.start = 1000;
    settings.place = {c.address, 1};
    settings.statePath = (dir_.path() / "serial.state").string();
    settings.reuseOnFail = c.reuseOnFail;
    settings.logPath = (dir_.path() / "boards.jsonl").string();
    std::string error;
    const std::unique_ptr<ProductionStation> station = ProductionStation::Open(settings, error);
    ASSERT_TRUE(station) << error;

    const GivenSerial serial = station->Prepare(*control_);
    if (c.state == nullptr) {
        EXPECT_TRUE(serial.placeRefused) << serial.failure;
        EXPECT_FALSE(serial.number);
        EXPECT_FALSE(std::filesystem::exists(settings.statePath)) << "no number was taken";
        return;
    }
    ASSERT_TRUE(serial.Given()) << serial.failure;
    WriteAndWait();
    const StationLines lines =
        station->Finish(*control_, theApp().Engine(), "COM9", 9, c.written ? "" : "refused");

    EXPECT_EQ(control_->LastWrite().Succeeded(), c.written);
    EXPECT_EQ(testsupport::ReadFile(settings.statePath), c.state);
    EXPECT_EQ(lines.notes.empty() ? "" : lines.notes.front(), std::string(c.note));
    if (c.written) {
        EXPECT_EQ(board_->Word(kSerialAt), 1000);
    }

    const std::string log = testsupport::ReadFile(settings.logPath);
    ASSERT_EQ(std::count(log.begin(), log.end(), '\n'), 1) << log;
    const nlohmann::json line = nlohmann::json::parse(log);
    EXPECT_EQ(line.at("serial"), 1000);
    EXPECT_EQ(line.at("port"), "COM9");
    EXPECT_EQ(line.at("device"), "dsPIC30F4011");
    EXPECT_EQ(line.at("result"), c.written ? "ok" : "failed");
    EXPECT_EQ(line.at("cause").is_null(), c.written);
}

INSTANTIATE_TEST_SUITE_P(
    Boards, ProductionStationTest,
    ::testing::Values(StationCase{"written", false, false, kSerialAt, true, "next 1001\n", ""},
                      StationCase{"failed_burns", true, false, kSerialAt, false, "next 1001\n", ""},
                      StationCase{"failed_gives_back", true, true, kSerialAt, false,
                                  "next 1001\nreturned 1000\n", "serial number 1000 given back"},
                      StationCase{"place_in_the_bootloader", false, false, 0x7C00, false, nullptr,
                                  ""}),
    [](const auto& entry) { return std::string(entry.param.what); });

}  // namespace
