#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

// Builds sound Intel HEX records for the tests, checksum included.
namespace hexrecords {

inline std::string Record(std::uint16_t address, std::uint8_t type, const std::string& data) {
    const unsigned count = static_cast<unsigned>(data.size() / 2);
    unsigned sum = count + (address >> 8) + (address & 0xFF) + type;
    for (std::size_t i = 0; i + 1 < data.size(); i += 2) {
        sum += static_cast<unsigned>(std::stoul(data.substr(i, 2), nullptr, 16));
    }
    char head[16];
    std::snprintf(head, sizeof head, ":%02X%04X%02X", count, address, type);
    char tail[4];
    std::snprintf(tail, sizeof tail, "%02X", (0x100 - (sum & 0xFF)) & 0xFF);
    return head + data + tail + "\n";
}

// A data record at HEX byte address `address`.
inline std::string Data(std::uint16_t address, const std::string& data) {
    return Record(address, 0x00, data);
}

// The extended linear address record: the upper 16 bits of the following byte addresses.
inline std::string Upper(std::uint16_t upper) {
    char data[8];
    std::snprintf(data, sizeof data, "%04X", upper);
    return Record(0, 0x04, data);
}

inline const std::string kEnd = ":00000001FF\n";

}  // namespace hexrecords
