#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/TestSupport.h"
#include "tools/sim/VirtualBoard.h"

namespace boardtest {

using Bytes = std::vector<std::uint8_t>;
using namespace std::chrono_literals;

// A catalogue of two devices:
// 0x0101 "TestPic": flash 0x0000-0x0FFE (32-instruction rows) with its bootloader in
//   0x0C00-0x0FFE, EEPROM 0x7FFC00-0x7FFFFE (16 per row), configuration 0xF80000-0xF8000E
//   (one per row);
// 0x0BAD "CrookedPic": flash 0x0000-0x0FDE (its last row sticks out) with a bootloader
//   over the whole rows from 0x0C00, 0x0C00-0x0FBE.
std::string WriteTestCatalogue(const testsupport::TempDir& dir);

// A board of the test catalogue's TestPic; every test gets its own port directory.
class BoardFixture {
public:
    BoardFixture();
    BoardOptions Options(const std::string& device = "0x0101") const;
    std::unique_ptr<VirtualBoard> Start(const BoardOptions& options) const;
    const testsupport::TempDir& Dir() const { return dir_; }

private:
    testsupport::TempDir dir_;
    testsupport::ScopedEnv config_;
    std::string catalogue_;
};

// The host's end of the line, opened raw with plain POSIX calls.
class HostLine {
public:
    explicit HostLine(const std::string& devicePath);
    ~HostLine();
    HostLine(const HostLine&) = delete;
    HostLine& operator=(const HostLine&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    bool Send(const Bytes& bytes);
    // Up to `count` bytes: returns once `count` arrived or `wait` passed without them.
    Bytes Read(std::size_t count, std::chrono::milliseconds wait = 2000ms);
    Bytes Exchange(const Bytes& request, std::size_t replyLength,
                   std::chrono::milliseconds wait = 2000ms);
    // True when the line hung up (the board closed its side).
    bool HungUp(std::chrono::milliseconds wait = 2000ms);

private:
    int fd_;
};

// Polls `condition` until it holds or `wait` passed; what a board does happens on its own
// thread a moment after the host's bytes went out.
bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds wait = 5000ms);

// A row frame for `address` with `data` (2 x row units bytes) and a correct checksum.
Bytes RowFrame(std::uint32_t address, const Bytes& data);
// `units` address units of data, each 4-byte group made from its index and `seed`.
Bytes RowData(int units, std::uint8_t seed);

}  // namespace boardtest
