#include "tests/tools/sim/BoardTestSupport.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <numeric>
#include <thread>

namespace boardtest {

std::string WriteTestCatalogue(const testsupport::TempDir& dir) {
    return dir
        .Write("catalogue.xml",
               R"(<?xml version="1.0"?>
<devices>
  <device id="0x0101" name="TestPic" rowsxpage="1">
    <memcode startaddress="0x0000" endaddress="0x0FFE" instructionxrow="32">
      <bootloader startaddress="0x0C00" endaddress="0x0FFE"/>
    </memcode>
    <memdata startaddress="0x7FFC00" endaddress="0x7FFFFE" instructionxrow="16"/>
    <memconfig startaddress="0xF80000" endaddress="0xF8000E" instructionxrow="1"/>
  </device>
  <device id="0x0BAD" name="CrookedPic" rowsxpage="1">
    <memcode startaddress="0x0000" endaddress="0x0FDE" instructionxrow="32">
      <bootloader startaddress="0x0C00" endaddress="0x0FBE"/>
    </memcode>
  </device>
</devices>
)")
        .string();
}

BoardFixture::BoardFixture()
    : config_("XDG_CONFIG_HOME", (dir_.path() / "config").string()),
      catalogue_(WriteTestCatalogue(dir_)) {}

BoardOptions BoardFixture::Options(const std::string& device) const {
    BoardOptions options;
    options.cataloguePath = catalogue_;
    options.device = device;
    return options;
}

std::unique_ptr<VirtualBoard> BoardFixture::Start(const BoardOptions& options) const {
    std::string error;
    auto board = VirtualBoard::Start(options, &error);
    EXPECT_TRUE(board) << error;
    return board;
}

HostLine::HostLine(const std::string& devicePath)
    : fd_(open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC)) {
    termios settings{};
    if (fd_ >= 0 && tcgetattr(fd_, &settings) == 0) {
        cfmakeraw(&settings);
        // The board answers no sooner than the host's line speed allows.
        cfsetspeed(&settings, B115200);
        tcsetattr(fd_, TCSANOW, &settings);
    }
}

HostLine::~HostLine() {
    if (fd_ >= 0) close(fd_);
}

bool HostLine::Send(const Bytes& bytes) {
    return write(fd_, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
}

Bytes HostLine::Read(std::size_t count, std::chrono::milliseconds wait) {
    Bytes received;
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (received.size() < count) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd fd{fd_, POLLIN, 0};
        if (poll(&fd, 1, static_cast<int>(left.count())) <= 0 || !(fd.revents & POLLIN)) break;
        std::uint8_t chunk[256];
        const ssize_t got = read(fd_, chunk, std::min(sizeof chunk, count - received.size()));
        if (got <= 0) break;
        received.insert(received.end(), chunk, chunk + got);
    }
    return received;
}

Bytes HostLine::Exchange(const Bytes& request, std::size_t replyLength,
                         std::chrono::milliseconds wait) {
    if (!Send(request)) return {};
    return Read(replyLength, wait);
}

bool HostLine::HungUp(std::chrono::milliseconds wait) {
    pollfd fd{fd_, POLLIN, 0};
    if (poll(&fd, 1, static_cast<int>(wait.count())) <= 0) return false;
    std::uint8_t byte;
    return (fd.revents & POLLHUP) != 0 || read(fd_, &byte, 1) <= 0;
}

bool Eventually(const std::function<bool()>& condition, std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(5ms);
    }
    return true;
}

Bytes RowFrame(std::uint32_t address, const Bytes& data) {
    Bytes frame(data.size() + 6);
    frame[0] = 0x02;
    frame[1] = static_cast<std::uint8_t>(address >> 16);
    frame[2] = static_cast<std::uint8_t>(address >> 8);
    frame[3] = static_cast<std::uint8_t>(address);
    frame[4] = static_cast<std::uint8_t>(data.size() + 1);
    std::copy(data.begin(), data.end(), frame.begin() + 5);
    const unsigned sum = std::accumulate(frame.begin() + 1, frame.end() - 1, 0u);
    frame.back() = static_cast<std::uint8_t>(0x100 - sum % 256);
    return frame;
}

Bytes RowData(int units, std::uint8_t seed) {
    Bytes data;
    for (int group = 0; group < units / 2; ++group) {
        data.push_back(static_cast<std::uint8_t>(seed + group));
        data.push_back(static_cast<std::uint8_t>(group));
        data.push_back(static_cast<std::uint8_t>(seed ^ 0x5A));
        data.push_back(0x00);
    }
    return data;
}

}  // namespace boardtest
