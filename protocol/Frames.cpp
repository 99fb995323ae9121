#include "protocol/Frames.h"

#include <cstdio>

#include "device/MemoryImage.h"

namespace bootproto {

bool ProbeSynchronised(const std::uint8_t* reply, std::size_t received) {
    if (reply == nullptr) return false;
    for (std::size_t i = 0; i < received; ++i) {
        if (reply[i] == kAck) return true;
    }
    return false;
}

std::string IdentifierText(std::uint8_t high, std::uint8_t low) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X%02X", static_cast<unsigned>(high),
                  static_cast<unsigned>(low));
    return text;
}

bool VersionAcknowledged(const std::uint8_t record[3]) {
    return record != nullptr && record[2] == kAck;
}

int WriteFrameLength(int rowUnits) {
    // The data go in 4-byte groups of two units each, and the length byte counts data and
    // checksum: 2 x units + 1 must stay below 256.
    if (rowUnits <= 0 || rowUnits % 2 != 0 || rowUnits > kMaxRowUnits) return -1;
    const int length = 2 * rowUnits + static_cast<int>(kFrameHeaderLength) + 1;
    if (length > static_cast<int>(kFrameBufferSize)) return -1;
    return length;
}

std::uint8_t FrameChecksum(const std::uint8_t* bytes, std::size_t count) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < count; ++i) sum += bytes[i];
    return static_cast<std::uint8_t>(0x100U - (sum & 0xFFU));
}

int BuildWriteFrame(std::uint8_t* frame, std::uint32_t address, int rowUnits, CMemoryImage& image) {
    const int length = WriteFrameLength(rowUnits);
    if (length < 0 || frame == nullptr) return -1;
    frame[0] = kWriteRow;
    frame[1] = static_cast<std::uint8_t>(address >> 16);
    frame[2] = static_cast<std::uint8_t>(address >> 8);
    frame[3] = static_cast<std::uint8_t>(address);
    frame[4] = static_cast<std::uint8_t>(2 * rowUnits + 1);
    std::uint8_t* data = frame + kFrameHeaderLength;
    for (int group = 0; group < rowUnits / 2; ++group) {
        const std::uint32_t word =
            image.ReadInstruction(address + 2 * static_cast<std::uint32_t>(group), false);
        for (int byte = 0; byte < 4; ++byte) {
            *data++ = static_cast<std::uint8_t>(word >> (8 * byte));
        }
    }
    // The command byte is not summed: address, length, data and checksum add up to 0.
    *data = FrameChecksum(frame + 1, static_cast<std::size_t>(data - (frame + 1)));
    return length;
}

}  // namespace bootproto
