// The board as the host program meets it: through CSerialPort, by COM number, with the
// host's own time-outs, and a dump that the host's HEX reader reads back.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <numeric>

#include "catalogue/Catalogue.h"
#include "image/HexReader.h"
#include "serial/CSerialPort.h"
#include "tests/tools/sim/BoardTestSupport.h"

using namespace boardtest;

namespace {

unsigned long Write(CSerialPort& port, Bytes bytes) {
    return port.WriteToPort(reinterpret_cast<char*>(bytes.data()), bytes.size());
}

Bytes Read(CSerialPort& port, std::size_t count) {
    Bytes reply(count);
    const unsigned long got = port.ReadFromPort(reinterpret_cast<char*>(reply.data()), count);
    reply.resize(got == CSerialPort::kFailure ? 0 : got);
    return reply;
}

TEST(BoardSerialPortTest, HostPortSpeaksToThePublishedBoard) {
    BoardFixture fixture;
    BoardOptions options = fixture.Options();
    options.comNumber = 42;
    options.lineTiming = true;
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);

    CSerialPort port;
    ASSERT_EQ(port.InitPort(42u, 115200, 'N', 8, 1, 0, 512), 1);
    ASSERT_EQ(port.SetTimeouts(100, 100, 100, 100, 100), 0u);
    EXPECT_EQ(Write(port, {0x55}), 1u);
    EXPECT_EQ(Read(port, 4), (Bytes{0x55}));
    EXPECT_EQ(Write(port, {0x01, 0xFF, 0x00, 0x00}), 4u);
    EXPECT_EQ(Read(port, 4), (Bytes{0x00, 0x01, 0x01, 0x55}));
    EXPECT_EQ(Write(port, {0x03}), 1u);
    EXPECT_EQ(Read(port, 3), (Bytes{0x01, 0x04, 0x55}));
    EXPECT_EQ(Write(port, {0x33}), 1u);
    EXPECT_EQ(Read(port, 1), (Bytes{0xFF}));
    const Bytes frame = RowFrame(0x0000, RowData(64, 0x31));
    EXPECT_EQ(Write(port, frame), frame.size());
    EXPECT_EQ(Read(port, 1), (Bytes{0x55}));
    EXPECT_EQ(Write(port, {0x0F}), 1u);
    port.ClosePort();
    EXPECT_EQ(board->RowsProgrammed(), 1u);
    EXPECT_TRUE(Eventually([&] { return board->UserProgramRunning(); }));
}

TEST(BoardSerialPortTest, DumpReadsBackWithTheHostHexReader) {
    BoardFixture fixture;
    BoardOptions options = fixture.Options("dsPIC30F4011");
    options.cataloguePath = PELORANT_SOURCE_DIR "/catalogue/qor_dspiclist.xml";
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    for (const Bytes& frame :
         {RowFrame(0x000000, RowData(64, 0x50)), RowFrame(0x001000, RowData(64, 0x51)),
          RowFrame(0x7FFC00, RowData(32, 0x52)), RowFrame(0xF80000, {0xA3, 0x01, 0x00, 0x00})}) {
        ASSERT_EQ(host.Exchange(frame, 1), (Bytes{0x55}));
    }
    const auto path = fixture.Dir().path() / "dump.hex";
    ASSERT_TRUE(board->DumpHex(path.string()));

    auto device = std::make_unique<CDeviceInfo>();
    std::string name;
    ASSERT_EQ(LookupDevice(options.cataloguePath, "0x0101", *device, name), kCatalogueFound);
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "r"),
                                                         &std::fclose);
    ASSERT_TRUE(file);
    ASSERT_EQ(ReadHexFile(file.get(), device->images[0], device->images[1], device->images[2]), 1);

    std::size_t wordsRead = 0;
    for (CMemoryImage& image : device->images) {
        for (std::uint32_t address = image.GetStart(); address <= image.GetEnd() + 1; ++address) {
            MemoryCell cell;
            ASSERT_EQ(image.GetCell(address, cell), 1);
            const std::uint16_t expected = board->Word(address).value_or(0);
            if (expected == 0xFFFF) {
                EXPECT_FALSE(cell.used) << std::hex << address;
                continue;
            }
            EXPECT_TRUE(cell.used) << std::hex << address;
            EXPECT_EQ(cell.value, expected) << std::hex << address;
            ++wordsRead;
        }
    }
    // Three rows of 64 and 32 words, one configuration pair and the 1024-word bootloader.
    EXPECT_EQ(wordsRead, 64u + 64u + 32u + 2u + 1024u);
}

}  // namespace
