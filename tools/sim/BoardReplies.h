#pragma once

#include <array>
#include <cstdint>

#include "protocol/Frames.h"

// The board's own reply bytes; the protocol's command and reply bytes are bootproto's.
// A refused row frame is answered with one byte that names the reason, so a host log shows why.
namespace board {

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
// What the noisy-identify fault sends before the identification reply.
inline constexpr std::array<std::uint8_t, 2> kIdentifyNoise = {0x13, 0x01};

}  // namespace board
