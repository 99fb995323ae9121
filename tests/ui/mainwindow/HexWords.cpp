#include "tests/ui/mainwindow/HexWords.h"

#include <fstream>
#include <string>
#include <vector>

namespace {

std::vector<std::uint8_t> RecordBytes(const std::string& line) {
    std::vector<std::uint8_t> bytes;
    for (std::size_t i = 1; i + 1 < line.size(); i += 2) {
        bytes.push_back(static_cast<std::uint8_t>(std::stoul(line.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

}  // namespace

std::map<std::uint32_t, std::uint16_t> ReadHexWords(const std::filesystem::path& path) {
    std::map<std::uint32_t, std::uint8_t> bytes;
    std::uint32_t upper = 0;
    std::ifstream file(path);
    std::string line;
    while (std::getline(file, line)) {
        if (line.empty() || line[0] != ':') continue;
        const std::vector<std::uint8_t> record = RecordBytes(line);
        const std::uint32_t offset = std::uint32_t{record[1]} << 8 | record[2];
        if (record[3] == 0x04) upper = (std::uint32_t{record[4]} << 8 | record[5]) << 16;
        if (record[3] != 0x00) continue;
        for (std::uint32_t i = 0; i < record[0]; ++i) bytes[upper + offset + i] = record[4 + i];
    }
    std::map<std::uint32_t, std::uint16_t> words;
    for (const auto& [address, value] : bytes) {
        std::uint16_t& word = words[address / 2];
        word = static_cast<std::uint16_t>(address % 2 ? word | value << 8 : word | value);
    }
    return words;
}
