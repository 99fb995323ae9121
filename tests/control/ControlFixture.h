#pragma once

#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control/ProgrammingSession.h"
#include "tests/control/SessionRecorder.h"
#include "tests/support/ManualClock.h"
#include "tests/support/PrivateSettings.h"
#include "tests/support/TestSupport.h"
#include "tools/sim/VirtualBoard.h"

// The sample firmware's rows: four of code, one of EEPROM, four configuration registers.
inline const std::vector<std::uint32_t> kSampleCodeRows = {0x0000, 0x0100, 0x0140, 0x0180};
inline const std::vector<std::uint32_t> kSampleEepromRows = {0x7FFC00};
inline const std::vector<std::uint32_t> kSampleConfigRows = {0xF80000, 0xF80002, 0xF80004,
                                                             0xF8000A};

std::string ShippedCatalogueDir();
std::string SampleHexPath();

// The programming session with a recording observer on the application's port and a clock of
// the test's own, against a virtual dsPIC30F4011 of the shipped catalogue.
class ControlTest : public ::testing::Test {
protected:
    ControlTest();
    ~ControlTest() override;

    BoardOptions Options(const std::string& device = "dsPIC30F4011") const;
    void StartBoard(const BoardOptions& options);
    // Dispatches the window's messages until `done` holds; false if it never did.
    bool Pump(const std::function<bool()>& done,
              std::chrono::seconds limit = std::chrono::seconds(30));
    // Reconnects and waits for the detection to end; true when the device was identified.
    bool Connect();
    void LoadSample();
    void WriteAndWait();
    // Chooses exactly the memories `blocks` for the next write.
    void Choose(std::array<bool, 3> blocks);
    std::array<bool, 3> Chosen() const;
    // A second passes on the session's clock, and its timer ticks.
    void Tick();
    std::vector<std::uint32_t> RowsReceived() const;
    std::size_t FramesStartingWith(std::uint8_t command) const;
    // True when every word of the sample's rows `rows` on the board equals the loaded image.
    bool BoardHoldsImage(int block, const std::vector<std::uint32_t>& rows) const;

    testsupport::TempDir dir_;
    testsupport::PrivateSettings settings_;
    std::unique_ptr<VirtualBoard> board_;
    SessionRecorder window_;
    ManualClock clock_;
    std::unique_ptr<ProgrammingSession> control_;
};
