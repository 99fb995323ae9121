// Row frames: what the board programs, what it refuses and why, and the row faults.
#include <gtest/gtest.h>

#include <thread>

#include "tests/tools/sim/BoardTestSupport.h"
#include "tools/sim/BoardReplies.h"

using namespace boardtest;

namespace {

constexpr int kFlashRowUnits = 64;
constexpr int kEepromRowUnits = 32;
constexpr int kConfigRowUnits = 2;

class BoardRowTest : public ::testing::Test {
protected:
    BoardFixture fixture;
};

TEST_F(BoardRowTest, ProgramsEachMemoryFromItsFourByteGroups) {
    auto board = fixture.Start(fixture.Options());
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    const Bytes flash = RowData(kFlashRowUnits, 0x10);
    EXPECT_EQ(host.Exchange(RowFrame(0x0040, flash), 1), (Bytes{0x55}));
    EXPECT_EQ(host.Exchange(RowFrame(0x7FFC20, RowData(kEepromRowUnits, 0x20)), 1), (Bytes{0x55}));
    EXPECT_EQ(host.Exchange(RowFrame(0xF8000E, {0x3C, 0x31, 0x00, 0x00}), 1), (Bytes{0x55}));
    EXPECT_EQ(board->RowsProgrammed(), 3u);

    for (int group = 0; group < kFlashRowUnits / 2; ++group) {
        const std::uint8_t* bytes = &flash[static_cast<std::size_t>(4 * group)];
        const std::uint32_t address = 0x0040 + 2u * static_cast<std::uint32_t>(group);
        EXPECT_EQ(board->Word(address), bytes[0] | bytes[1] << 8);
        EXPECT_EQ(board->Word(address + 1), bytes[2] | bytes[3] << 8);
    }
    EXPECT_EQ(board->Word(0x003F), 0xFFFF) << "the row before stays erased";
    EXPECT_EQ(board->Word(0x0080), 0xFFFF) << "the row after stays erased";
    EXPECT_EQ(board->Word(0x7FFC20), 0x0020);
    EXPECT_EQ(board->Word(0x7FFC21), 0x007A);
    EXPECT_EQ(board->Word(0xF8000E), 0x313C);
    EXPECT_EQ(board->Word(0xF8000F), 0x0000);
    EXPECT_EQ(board->Word(0x7FFFFF), 0xFFFF) << "EEPROM reaches one word past its last address";
    EXPECT_FALSE(board->Word(0x1000).has_value());
    EXPECT_FALSE(board->Word(0xF80010).has_value());
}

TEST_F(BoardRowTest, BootloaderStartsInPlaceAndNeverChanges) {
    auto board = fixture.Start(fixture.Options());
    ASSERT_TRUE(board);
    EXPECT_FALSE(board->InsideBootloader(0x0BFF));
    EXPECT_TRUE(board->InsideBootloader(0x0C00));
    EXPECT_TRUE(board->InsideBootloader(0x0FFF));
    EXPECT_EQ(board->Word(0x0C00), 0xB007);
    EXPECT_EQ(board->Word(0x0FFF), 0x00B0);
    EXPECT_EQ(board->Word(0x0BFF), 0xFFFF);

    HostLine host(board->DevicePath());
    EXPECT_EQ(host.Exchange(RowFrame(0x0C00, RowData(kFlashRowUnits, 1)), 1),
              (Bytes{board::kRefusedBootloader}));
    EXPECT_EQ(host.Exchange(RowFrame(0x0FC0, RowData(kFlashRowUnits, 1)), 1),
              (Bytes{board::kRefusedBootloader}));
    EXPECT_EQ(board->Word(0x0C00), 0xB007);
    EXPECT_EQ(board->RowsProgrammed(), 0u);
}

struct Refusal {
    const char* name;
    Bytes frame;
    std::uint8_t reply;
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.name;
}

Bytes WithBadChecksum(Bytes frame) {
    frame.back() ^= 0x01;
    return frame;
}

class BoardRefusalTest : public ::testing::TestWithParam<Refusal> {};

TEST_P(BoardRefusalTest, RefusesWithTheReasonAndLeavesMemoryAlone) {
    BoardFixture fixture;
    auto board = fixture.Start(fixture.Options());
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    EXPECT_EQ(host.Exchange(GetParam().frame, 1), (Bytes{GetParam().reply}));
    EXPECT_EQ(board->RowsProgrammed(), 0u);
    EXPECT_EQ(board->Word(0x0000), 0xFFFF);
    EXPECT_EQ(board->Word(0x0040), 0xFFFF);
    EXPECT_EQ(board->Word(0x7FFC00), 0xFFFF);
    EXPECT_EQ(host.Exchange({0x55}, 1), (Bytes{0x55})) << "in step for the next frame";
}

INSTANTIATE_TEST_SUITE_P(
    Frames, BoardRefusalTest,
    ::testing::Values(
        Refusal{"bad_checksum", WithBadChecksum(RowFrame(0x0000, RowData(kFlashRowUnits, 3))),
                board::kRefusedChecksum},
        Refusal{"eeprom_length_in_flash", RowFrame(0x0000, RowData(kEepromRowUnits, 3)),
                board::kRefusedLength},
        Refusal{"flash_length_in_eeprom", RowFrame(0x7FFC00, RowData(kFlashRowUnits, 3)),
                board::kRefusedLength},
        Refusal{"length_zero", {0x02, 0x00, 0x00, 0x00, 0x00}, board::kRefusedLength},
        Refusal{"misaligned", RowFrame(0x0020, RowData(kFlashRowUnits, 3)),
                board::kRefusedMisaligned},
        Refusal{"misaligned_config", RowFrame(0xF80001, RowData(kConfigRowUnits, 3)),
                board::kRefusedMisaligned},
        Refusal{"outside_every_memory", RowFrame(0x200000, RowData(kFlashRowUnits, 3)),
                board::kRefusedOutside}),
    [](const auto& entry) { return std::string(entry.param.name); });

TEST_F(BoardRowTest, CrookedGeometryRefusesRowsThatStickOutOrTouchTheBootloader) {
    auto board = fixture.Start(fixture.Options("CrookedPic"));
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    // The bootloader takes the rows from 0x0C00 up to the last whole row.
    EXPECT_EQ(host.Exchange(RowFrame(0x0BC0, RowData(kFlashRowUnits, 1)), 1), (Bytes{0x55}));
    EXPECT_EQ(host.Exchange(RowFrame(0x0C00, RowData(kFlashRowUnits, 1)), 1),
              (Bytes{board::kRefusedBootloader}));
    // The last row would run past the flash's last word, 0x0FDF.
    EXPECT_EQ(host.Exchange(RowFrame(0x0FC0, RowData(kFlashRowUnits, 1)), 1),
              (Bytes{board::kRefusedOutside}));
    EXPECT_EQ(board->Word(0x0C00), 0xB007);
    EXPECT_EQ(board->Word(0x0FBF), 0x00B0);
    EXPECT_EQ(board->Word(0x0FC0), 0xFFFF);
}

TEST_F(BoardRowTest, IncompleteFrameIsDroppedAfterAGap) {
    auto board = fixture.Start(fixture.Options());
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    const Bytes frame = RowFrame(0x0000, RowData(kFlashRowUnits, 5));
    ASSERT_TRUE(host.Send(Bytes(frame.begin(), frame.begin() + 10)));
    EXPECT_TRUE(host.Read(1, 100ms).empty());
    std::this_thread::sleep_for(400ms);
    EXPECT_EQ(host.Exchange({0x55}, 1), (Bytes{0x55}));
    EXPECT_EQ(host.Exchange(frame, 1), (Bytes{0x55}));

    const auto frames = board->Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].bytes, Bytes(frame.begin(), frame.begin() + 10));
    EXPECT_EQ(frames[2].bytes, frame);
}

TEST_F(BoardRowTest, RefusedAndIgnoredRowsAreNotProgrammed) {
    BoardOptions options = fixture.Options();
    options.faults.ignoreRow = 0;
    options.faults.refuseRow = 2;
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    EXPECT_TRUE(host.Exchange(RowFrame(0x0000, RowData(kFlashRowUnits, 1)), 1, 200ms).empty());
    EXPECT_EQ(host.Exchange(RowFrame(0x0040, RowData(kFlashRowUnits, 1)), 1), (Bytes{0x55}));
    EXPECT_EQ(host.Exchange(RowFrame(0x0080, RowData(kFlashRowUnits, 1)), 1),
              (Bytes{board::kRefusedByFault}));
    EXPECT_EQ(host.Exchange(RowFrame(0x00C0, RowData(kFlashRowUnits, 1)), 1), (Bytes{0x55}));
    EXPECT_EQ(board->RowsProgrammed(), 2u);
    EXPECT_EQ(board->Word(0x0000), 0xFFFF);
    EXPECT_EQ(board->Word(0x0080), 0xFFFF);
    EXPECT_NE(board->Word(0x00C0), 0xFFFF);
}

TEST_F(BoardRowTest, CutLineHangsUpAfterAcknowledgingTheRowAndUnpublishes) {
    BoardOptions options = fixture.Options();
    options.faults.cutAfterRow = 1;
    options.comNumber = 12;
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    const auto link = fixture.Dir().path() / "config" / "lunvik" / "ports" / "COM12";
    ASSERT_TRUE(std::filesystem::is_symlink(link));
    HostLine host(board->DevicePath());
    EXPECT_EQ(host.Exchange(RowFrame(0x0000, RowData(kFlashRowUnits, 1)), 1), (Bytes{0x55}));
    EXPECT_EQ(host.Exchange(RowFrame(0x0040, RowData(kFlashRowUnits, 1)), 1), (Bytes{0x55}));
    EXPECT_TRUE(host.HungUp());
    EXPECT_FALSE(std::filesystem::is_symlink(link));
    EXPECT_EQ(board->ComNumber(), 0);
    EXPECT_EQ(board->RowsProgrammed(), 2u);
}

TEST_F(BoardRowTest, StrayByteGoesOutMidFrameAndTheRowIsRefused) {
    BoardOptions options = fixture.Options();
    options.faults.strayInRow = 1;
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    EXPECT_EQ(host.Exchange(RowFrame(0x0000, RowData(kFlashRowUnits, 1)), 2, 200ms), (Bytes{0x55}));
    EXPECT_EQ(host.Exchange(RowFrame(0x0040, RowData(kFlashRowUnits, 1)), 2),
              (Bytes{0x55, board::kRefusedByFault}));
    EXPECT_EQ(board->RowsProgrammed(), 1u);
    EXPECT_EQ(board->Word(0x0040), 0xFFFF);
}

TEST_F(BoardRowTest, StrayComesAfterTheFrameAndBeforeTheRefusal) {
    BoardOptions options = fixture.Options();
    options.faults.strayBeforeAnswer = 0;
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    ASSERT_TRUE(host.Send(RowFrame(0x0000, RowData(kFlashRowUnits, 1))));
    EXPECT_EQ(host.Read(2, 100ms), (Bytes{0x55})) << "the stray comes alone";
    EXPECT_EQ(host.Read(1), (Bytes{board::kRefusedByFault}));
    EXPECT_EQ(board->RowsProgrammed(), 0u);
}

// The fresh bootloader drops the frame's bytes up to a 0x55 and answers that as a probe;
// the frames after it are taken as usual.
TEST_F(BoardRowTest, BoardThatResetsAfterARowAnswersA55InsideTheNextFrame) {
    BoardOptions options = fixture.Options();
    options.faults.resetAfterRow = 0;
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    EXPECT_EQ(host.Exchange(RowFrame(0x0000, RowData(kFlashRowUnits, 1)), 1), (Bytes{0x55}));
    Bytes data(2 * kFlashRowUnits, 0x00);
    data[1] = 0x55;
    EXPECT_EQ(host.Exchange(RowFrame(0x0040, data), 1), (Bytes{0x55}));
    EXPECT_EQ(host.Read(1, 300ms), Bytes{});
    EXPECT_EQ(host.Exchange(RowFrame(0x0080, RowData(kFlashRowUnits, 1)), 1), (Bytes{0x55}));
    EXPECT_EQ(board->RowsProgrammed(), 2u);
    EXPECT_EQ(board->Word(0x0040), 0xFFFF);
}

TEST_F(BoardRowTest, PortVanishesAtTheChosenProbe) {
    BoardOptions options = fixture.Options();
    options.faults.vanishAtProbe = 1;
    options.comNumber = 13;
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    EXPECT_EQ(host.Exchange({0x55}, 1), (Bytes{0x55}));
    EXPECT_TRUE(host.Exchange({0x55}, 1, 200ms).empty());
    EXPECT_TRUE(host.HungUp());
    EXPECT_EQ(board->ComNumber(), 0);
}

TEST_F(BoardRowTest, LineTimingPacesARowAtTheLineSpeed) {
    BoardOptions options = fixture.Options();
    options.lineTiming = true;
    options.baud = 9600;
    auto board = fixture.Start(options);
    ASSERT_TRUE(board);
    HostLine host(board->DevicePath());
    const Bytes frame = RowFrame(0x0000, RowData(kFlashRowUnits, 9));
    ASSERT_EQ(frame.size(), 134u);
    const auto sent = std::chrono::steady_clock::now();
    EXPECT_EQ(host.Exchange(frame, 1, 5s), (Bytes{0x55}));
    // 135 bytes on the line at 9600 baud plus 2 ms of programming: about 143 ms.
    EXPECT_GE(std::chrono::steady_clock::now() - sent, 100ms);
}

}  // namespace
