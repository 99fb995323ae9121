#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

class CMemoryImage;

// Every byte sequence that passes between the host and the resident bootloader.
namespace bootproto {

inline constexpr std::uint8_t kProbe = 0x55;
inline constexpr std::uint8_t kIdentify = 0x01;
inline constexpr std::uint8_t kWriteRow = 0x02;
inline constexpr std::uint8_t kFirmwareVersion = 0x03;
inline constexpr std::uint8_t kSyncCheck = 0x33;
inline constexpr std::uint8_t kRunUserProgram = 0x0F;
inline constexpr std::uint8_t kAck = 0x55;        // probe, version record and row replies
inline constexpr std::uint8_t kSyncReply = 0xFF;  // reply to the synchronism check
inline constexpr std::uint8_t kIdentifyRequest[4] = {kIdentify, 0xFF, 0x00, 0x00};
inline constexpr std::size_t kProbeReplyLength = 4;
inline constexpr std::size_t kIdentifyReplyLength = 4;
inline constexpr std::size_t kVersionReplyLength = 3;
inline constexpr std::size_t kFrameBufferSize = 1024;
inline constexpr std::size_t kFrameHeaderLength = 5;  // command, 3 address bytes, length
inline constexpr int kMaxRowUnits = 126;              // 63 instructions: the length byte's limit

// A probe reply synchronises when any received byte is 0x55.
bool ProbeSynchronised(const std::uint8_t* reply, std::size_t received);
// The catalogue key of an identification reply: "0x%02X%02X" of reply bytes 1 and 2.
std::string IdentifierText(std::uint8_t high, std::uint8_t low);
// The version record is good when its third byte is 0x55.
bool VersionAcknowledged(const std::uint8_t record[3]);
// Frame length for a row of `rowUnits` address units, or -1 when such a row cannot be
// framed (odd, zero, negative, over 63 instructions or over the frame buffer).
int WriteFrameLength(int rowUnits);
// Two's complement of the sum of `count` bytes, modulo 256.
std::uint8_t FrameChecksum(const std::uint8_t* bytes, std::size_t count);
// Fills `frame` with the row write for the row at `address`; returns the frame length,
// or -1 (nothing written to `frame`) when the row cannot be framed.
int BuildWriteFrame(std::uint8_t* frame, std::uint32_t address, int rowUnits, CMemoryImage& image);

}  // namespace bootproto
