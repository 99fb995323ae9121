#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/WindowMessages.h"
#include "device/MemoryImage.h"
#include "tests/support/TestSupport.h"
#include "tools/sim/VirtualBoard.h"

namespace workertest {

// The device of the small test catalogue: 64 rows of 32 instructions of flash with a
// bootloader that is not row-aligned and one protected row, 32 rows of EEPROM and eight
// single-register configuration rows.
inline constexpr const char* kDeviceId = "0x0A0B";
inline constexpr const char* kDeviceName = "dsPIC30FTEST";
inline constexpr std::uint8_t kIdHigh = 0x0A;
inline constexpr std::uint8_t kIdLow = 0x0B;
inline constexpr std::uint32_t kBootStart = 0x410;
inline constexpr std::uint32_t kBootEnd = 0x7EE;
inline constexpr std::uint32_t kProtectedRow = 0xC00;
inline constexpr int kCodeRowUnits = 64;

std::string TestCatalogue(const std::string& deviceId = kDeviceId);

// A value for every address that survives the trip through a 24-bit instruction word.
std::uint16_t PatternWord(std::uint32_t address);
void FillPattern(CMemoryImage& image, std::uint32_t first, std::uint32_t last);

// The device's three images, with the catalogue's geometry.
struct TestImages {
    TestImages();
    CMemoryImage code;
    CMemoryImage data;
    CMemoryImage config;
};

std::optional<std::uint32_t> RowFrameAddress(const ReceivedFrame& frame);
std::vector<std::uint32_t> RowFrameAddresses(const VirtualBoard& board);
std::size_t CountMessages(MessageQueue& queue, unsigned message);

// A virtual board of the test catalogue on a pseudo-terminal, with theApp()'s port open
// on it and the application state cleared. The configuration and runtime directories
// point into the test's own temporary directory.
class BoardTest : public ::testing::Test {
protected:
    BoardTest();
    ~BoardTest() override;

    // Starts the board and opens the port with the exchange time-outs in force.
    void StartBoard(const BoardOptions& options);
    BoardOptions DefaultOptions() const;

    testsupport::TempDir dir_;
    testsupport::ScopedEnv configHome_;
    testsupport::ScopedEnv runtimeDir_;
    std::string cataloguePath_;
    std::unique_ptr<VirtualBoard> board_;
    MessageQueue queue_;
};

}  // namespace workertest
