#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/WindowMessages.h"
#include "device/MemoryImage.h"
#include "tests/support/PrivateSettings.h"
#include "tests/support/TestSupport.h"
#include "tools/sim/VirtualBoard.h"

namespace workertest {

// The device of the small test catalogue: 64 rows of 32 instructions of flash with a
// bootloader in the middle and one protected row, 32 rows of EEPROM and eight
// single-register configuration rows.
inline constexpr const char* kDeviceId = "0x0A0B";
inline constexpr const char* kDeviceName = "dsPIC30FTEST";
inline constexpr std::uint8_t kIdHigh = 0x0A;
inline constexpr std::uint8_t kIdLow = 0x0B;
inline constexpr std::uint32_t kBootStart = 0x400;
inline constexpr std::uint32_t kBootEnd = 0x7FE;
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

// Runs `body` on a thread of its own and waits at most `limit` for it. A body still running
// then (a worker that never ends) fails the test program at once instead of hanging it: the
// thread still uses the test's objects, so nothing after it could run safely.
void RunBounded(const std::function<void()>& body, std::chrono::seconds limit, const char* what);

std::optional<std::uint32_t> RowFrameAddress(const ReceivedFrame& frame);
std::vector<std::uint32_t> RowFrameAddresses(const VirtualBoard& board);
std::size_t CountMessages(MessageQueue& queue, unsigned message);

// A virtual board of the test catalogue on a pseudo-terminal, with theApp()'s port open
// on it and the application state cleared. The application's settings and run-time files are
// the test's own.
class BoardTest : public ::testing::Test {
protected:
    BoardTest();
    ~BoardTest() override;

    // Starts the board and opens the port with the exchange time-outs in force.
    void StartBoard(const BoardOptions& options);
    BoardOptions DefaultOptions() const;

    testsupport::TempDir dir_;
    testsupport::PrivateSettings settings_;
    std::string cataloguePath_;
    std::unique_ptr<VirtualBoard> board_;
    MessageQueue queue_;
};

}  // namespace workertest
