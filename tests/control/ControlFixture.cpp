#include "tests/control/ControlFixture.h"

#include <cstdio>

#include "app/BootloaderApp.h"

std::string ShippedCatalogueDir() {
    return std::string(PELORANT_SOURCE_DIR) + "/catalogue/";
}

std::string SampleHexPath() {
    return std::string(PELORANT_SOURCE_DIR) + "/samples/dsPIC30F4011-counter.hex";
}

ControlTest::ControlTest() : settings_(dir_.path()) {
    CBootloaderApp& app = theApp();
    std::snprintf(app.m_workingPath, sizeof app.m_workingPath, "%s", ShippedCatalogueDir().c_str());
    app.m_baudRate = 115200;
    app.m_comNumber = 0;
    app.m_detectionParam.stop = 0;
    app.m_deviceId[0] = app.m_deviceId[1] = 0;
    app.m_device.name[0] = 0;
    control_ = std::make_unique<ProgrammingSession>(app.Engine(), window_, window_.queue,
                                                    PortAtStart::Closed, clock_);
    window_.Follow(*control_);
}

ControlTest::~ControlTest() {
    control_.reset();
    theApp().m_serialPort.ClosePort();
    board_.reset();
}

BoardOptions ControlTest::Options(const std::string& device) const {
    BoardOptions options;
    options.cataloguePath = ShippedCatalogueDir() + "qor_dspiclist.xml";
    options.device = device;
    return options;
}

void ControlTest::StartBoard(const BoardOptions& options) {
    std::string error;
    board_ = VirtualBoard::Start(options, &error);
    ASSERT_TRUE(board_) << error;
    control_->SetDevicePath(board_->DevicePath());
}

bool ControlTest::Pump(const std::function<bool()>& done, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        if (const auto message = window_.queue.Wait(std::chrono::milliseconds(50))) {
            control_->Dispatch(*message);
        }
    }
    return true;
}

bool ControlTest::Connect() {
    control_->Reconnect();
    EXPECT_TRUE(Pump([this] { return !control_->Busy(); }));
    return control_->PortOpen() == 1;
}

void ControlTest::LoadSample() {
    control_->SetHexPath(SampleHexPath());
    control_->Load();
    ASSERT_EQ(control_->HexLoaded(), 1);
}

void ControlTest::WriteAndWait() {
    control_->Write();
    ASSERT_TRUE(Pump([this] { return !control_->Busy(); }));
}

void ControlTest::Choose(std::array<bool, 3> blocks) {
    for (int block = kBlockCode; block <= kBlockConfig; ++block) {
        control_->ChooseBlock(block, blocks[static_cast<std::size_t>(block)]);
    }
}

std::array<bool, 3> ControlTest::Chosen() const {
    return {control_->BlockChosen(kBlockCode), control_->BlockChosen(kBlockEeprom),
            control_->BlockChosen(kBlockConfig)};
}

void ControlTest::Tick() {
    clock_.Advance(std::chrono::seconds(1));
    control_->OnTimer();
}

std::vector<std::uint32_t> ControlTest::RowsReceived() const {
    std::vector<std::uint32_t> rows;
    for (const ReceivedFrame& frame : board_->Frames()) {
        if (frame.bytes.size() < 4 || frame.bytes[0] != 0x02) continue;
        rows.push_back(std::uint32_t{frame.bytes[1]} << 16 | std::uint32_t{frame.bytes[2]} << 8 |
                       frame.bytes[3]);
    }
    return rows;
}

std::size_t ControlTest::FramesStartingWith(std::uint8_t command) const {
    std::size_t count = 0;
    for (const ReceivedFrame& frame : board_->Frames()) {
        if (!frame.bytes.empty() && frame.bytes[0] == command) ++count;
    }
    return count;
}

bool ControlTest::BoardHoldsImage(int block, const std::vector<std::uint32_t>& rows) const {
    CMemoryImage& image = theApp().m_device.images[block];
    const auto units = static_cast<std::uint32_t>(2 * image.instructionsPerRow);
    for (const std::uint32_t row : rows) {
        for (std::uint32_t address = row; address < row + units; ++address) {
            const auto word = board_->Word(address);
            if (!word || *word != image.ReadWord(address)) return false;
        }
    }
    return true;
}
