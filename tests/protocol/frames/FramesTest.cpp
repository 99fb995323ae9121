#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

#include "device/MemoryImage.h"
#include "protocol/Frames.h"

namespace {

using namespace bootproto;

class WriteFrameTest : public ::testing::Test {
protected:
    void SetUp() override { image_.SetRange(0x0000, 0x0FFF); }
    void Fill(std::uint32_t from, int units, std::uint16_t value) {
        for (int i = 0; i < units; ++i)
            image_.WriteWord(from + static_cast<std::uint32_t>(i), value);
    }

    CMemoryImage image_;
    std::array<std::uint8_t, kFrameBufferSize> frame_{};
};

TEST_F(WriteFrameTest, ThirtyTwoInstructionRowOfErasedWords) {
    Fill(0x0100, 64, 0xFFFF);
    ASSERT_EQ(BuildWriteFrame(frame_.data(), 0x0100, 64, image_), 134);
    const std::vector<std::uint8_t> header(frame_.begin(), frame_.begin() + 5);
    EXPECT_EQ(header, (std::vector<std::uint8_t>{0x02, 0x00, 0x01, 0x00, 0x81}));
    for (int i = 5; i < 133; ++i) EXPECT_EQ(frame_[i], 0xFF) << "data byte " << i;
    EXPECT_EQ(frame_[133], 0xFE);
}

TEST_F(WriteFrameTest, GroupsAreLowCellThenHighCellLeastSignificantByteFirst) {
    image_.SetRange(0x123000, 0x123FFF);
    image_.WriteWord(0x123456, 0xBEEF);
    image_.WriteWord(0x123457, 0x0012);
    ASSERT_EQ(BuildWriteFrame(frame_.data(), 0x123456, 2, image_), 10);
    const std::vector<std::uint8_t> bytes(frame_.begin(), frame_.begin() + 10);
    // 12 + 34 + 56 + 05 + EF + BE + 12 + 00 = 0x260: the checksum is 0x100 - 0x60.
    EXPECT_EQ(bytes, (std::vector<std::uint8_t>{0x02, 0x12, 0x34, 0x56, 0x05, 0xEF, 0xBE, 0x12,
                                                0x00, 0xA0}));
}

TEST_F(WriteFrameTest, ChecksumOfBytesAlreadySummingToZeroIsZero) {
    // Address 0, length 5 and a data byte of 0xFB add up to 256.
    image_.WriteWord(0x0000, 0x00FB);
    ASSERT_EQ(BuildWriteFrame(frame_.data(), 0x0000, 2, image_), 10);
    EXPECT_EQ(frame_[9], 0x00);
    EXPECT_EQ(FrameChecksum(frame_.data() + 1, 9), 0x00);
}

TEST_F(WriteFrameTest, RowsThatCannotBeFramedAreRefusedUntouched) {
    frame_.fill(0xA5);
    for (int units : {128, 130, 512, 1024, 0, -2, 3}) {
        EXPECT_EQ(WriteFrameLength(units), -1) << units;
        EXPECT_EQ(BuildWriteFrame(frame_.data(), 0x0000, units, image_), -1) << units;
    }
    for (std::uint8_t byte : frame_) ASSERT_EQ(byte, 0xA5);
    EXPECT_EQ(BuildWriteFrame(nullptr, 0x0000, 64, image_), -1);
    // The largest row that fits the length byte: 63 instructions, length byte 0xFD.
    ASSERT_EQ(BuildWriteFrame(frame_.data(), 0x0000, kMaxRowUnits, image_), 258);
    EXPECT_EQ(frame_[4], 0xFD);
}

TEST(ReplyTest, ProbeVersionAndIdentifier) {
    const std::uint8_t noisyAck[] = {0x13, 0x00, 0x55, 0xF0};
    const std::uint8_t noise[] = {0x13, 0x00, 0x54, 0xF0};
    EXPECT_TRUE(ProbeSynchronised(noisyAck, 4));
    EXPECT_FALSE(ProbeSynchronised(noisyAck, 2));
    EXPECT_FALSE(ProbeSynchronised(noise, 4));
    EXPECT_FALSE(ProbeSynchronised(noise, 0));

    const std::uint8_t goodVersion[3] = {2, 1, 0x55};
    const std::uint8_t badVersion[3] = {2, 1, 0x54};
    EXPECT_TRUE(VersionAcknowledged(goodVersion));
    EXPECT_FALSE(VersionAcknowledged(badVersion));

    EXPECT_EQ(IdentifierText(0x01, 0x0A), "0x010A");
    EXPECT_EQ(IdentifierText(0xab, 0xcd), "0xABCD");
    EXPECT_EQ(IdentifierText(0x00, 0x00), "0x0000");
}

}  // namespace
