#pragma once

#include <cstdint>

// The bytes the virtual board's bootloader understands and answers with. A refused row
// frame is answered with one byte that names the reason, so a host log shows why.
namespace board {

inline constexpr std::uint8_t kProbe = 0x55;
inline constexpr std::uint8_t kIdentify = 0x01;
inline constexpr std::uint8_t kWriteRow = 0x02;
inline constexpr std::uint8_t kFirmwareVersion = 0x03;
inline constexpr std::uint8_t kSyncCheck = 0x33;
inline constexpr std::uint8_t kRunUserProgram = 0x0F;

inline constexpr std::uint8_t kAck = 0x55;
inline constexpr std::uint8_t kSyncReply = 0xFF;
inline constexpr std::uint8_t kIdentifyFiller = 0x00;  // byte 0 of the identification reply
inline constexpr std::uint32_t kDeviceIdAddress = 0xFF0000;

inline constexpr std::uint8_t kRefusedChecksum = 0xE1;     // bytes 1..end do not sum to 0
inline constexpr std::uint8_t kRefusedLength = 0xE2;       // length byte is not 2 x row units + 1
inline constexpr std::uint8_t kRefusedOutside = 0xE3;      // row not wholly inside one memory
inline constexpr std::uint8_t kRefusedMisaligned = 0xE4;   // address not on a row boundary
inline constexpr std::uint8_t kRefusedBootloader = 0xE5;   // row overlaps the bootloader
inline constexpr std::uint8_t kRefusedUnknownRead = 0xE6;  // identification of another address
inline constexpr std::uint8_t kRefusedByFault = 0xEE;      // the refuse-row fault

inline constexpr std::uint8_t kBadVersionAck = 0xAA;  // the bad-version fault's third byte

}  // namespace board
