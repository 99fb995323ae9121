#include "tests/protocol/workers/WorkerTestSupport.h"

#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "app/BootloaderApp.h"

namespace workertest {

std::string TestCatalogue(const std::string& deviceId) {
    return R"(<?xml version="1.0"?>
<dspiclist>
  <device id=")" +
           deviceId + R"(" name=")" + kDeviceName + R"(" rowsxpage="8">
    <memcode startaddress="0x0000" endaddress="0x0FFF" instructionxrow="32">
      <bootloader startaddress="0x0400" endaddress="0x07FE"/>
      <protected startaddress="0x0C00" endaddress="0x0C3E"/>
    </memcode>
    <memdata startaddress="0x7FFC00" endaddress="0x7FFFFE" instructionxrow="16"/>
    <memconfig startaddress="0xF80000" endaddress="0xF8000E" instructionxrow="1"/>
  </device>
</dspiclist>
)";
}

std::uint16_t PatternWord(std::uint32_t address) {
    if (address % 2 == 1) return static_cast<std::uint16_t>((address * 13 + 7) & 0xFF);
    return static_cast<std::uint16_t>(address * 0x9E37 + 0x1234);
}

void FillPattern(CMemoryImage& image, std::uint32_t first, std::uint32_t last) {
    for (std::uint32_t a = first; a <= last; ++a) image.WriteWord(a, PatternWord(a));
}

TestImages::TestImages() {
    code.SetRange(0x0000, 0x0FFF);
    code.instructionsPerRow = 32;
    code.MarkProtected(kProtectedRow, kProtectedRow + 0x3E);
    data.SetRange(0x7FFC00, 0x7FFFFE);
    data.instructionsPerRow = 16;
    config.SetRange(0xF80000, 0xF8000E);
    config.instructionsPerRow = 1;
}

void RunBounded(const std::function<void()>& body, std::chrono::seconds limit, const char* what) {
    std::mutex lock;
    std::condition_variable ended;
    bool done = false;
    std::thread runner([&] {
        body();
        std::lock_guard<std::mutex> guard(lock);
        done = true;
        ended.notify_all();
    });
    std::unique_lock<std::mutex> guard(lock);
    if (!ended.wait_for(guard, limit, [&] { return done; })) {
        std::fprintf(stderr, "%s did not end within %lld s: failing instead of hanging\n", what,
                     static_cast<long long>(limit.count()));
        std::fflush(stderr);
        std::_Exit(1);
    }
    guard.unlock();
    runner.join();
}

std::optional<std::uint32_t> RowFrameAddress(const ReceivedFrame& frame) {
    if (frame.bytes.size() < 4 || frame.bytes[0] != 0x02) return std::nullopt;
    return std::uint32_t{frame.bytes[1]} << 16 | std::uint32_t{frame.bytes[2]} << 8 |
           frame.bytes[3];
}

std::vector<std::uint32_t> RowFrameAddresses(const VirtualBoard& board) {
    std::vector<std::uint32_t> addresses;
    for (const ReceivedFrame& frame : board.Frames()) {
        if (std::optional<std::uint32_t> address = RowFrameAddress(frame)) {
            addresses.push_back(*address);
        }
    }
    return addresses;
}

std::size_t CountMessages(MessageQueue& queue, unsigned message) {
    std::size_t count = 0;
    while (std::optional<WindowMessage> next = queue.TryTake()) {
        if (next->message == message) ++count;
    }
    return count;
}

BoardTest::BoardTest() : settings_(dir_.path()) {
    cataloguePath_ = dir_.Write("board/qor_dspiclist.xml", TestCatalogue()).string();
    CBootloaderApp& app = theApp();
    app.m_detectionParam.notifyWindow = nullptr;
    app.m_detectionParam.stop = 0;
    app.m_deviceId[0] = app.m_deviceId[1] = 0;
    for (unsigned char& byte : app.m_firmwareVersion) byte = 0;
    std::snprintf(app.m_workingPath, sizeof app.m_workingPath, "%s/", dir_.path().string().c_str());
}

BoardTest::~BoardTest() {
    theApp().m_serialPort.ClosePort();
    board_.reset();
}

BoardOptions BoardTest::DefaultOptions() const {
    BoardOptions options;
    options.cataloguePath = cataloguePath_;
    options.device = kDeviceId;
    return options;
}

void BoardTest::StartBoard(const BoardOptions& options) {
    std::string error;
    board_ = VirtualBoard::Start(options, &error);
    ASSERT_TRUE(board_) << error;
    CSerialPort& port = theApp().m_serialPort;
    ASSERT_EQ(port.InitPort(board_->DevicePath().c_str(), options.baud, 'N', 8, 1, 9, 512), 1);
    ASSERT_EQ(port.SetTimeouts(100, 100, 100, 100, 100), 0u);
}

}  // namespace workertest
