#include "image/HexReader.h"

#include <array>
#include <cstdint>
#include <cstring>

namespace {

// Lines are read into a buffer of this size: 99 characters, terminator included. The rest
// of a longer line is read as the next line.
constexpr int kLineBufferSize = 100;
constexpr std::size_t kHeaderEnd = 9;  // ":" + count (2) + address (4) + type (2)

constexpr std::array<std::int8_t, 256> MakeHexDigits() {
    std::array<std::int8_t, 256> digits{};
    for (auto& digit : digits) digit = -1;
    for (int c = '0'; c <= '9'; ++c) digits[c] = static_cast<std::int8_t>(c - '0');
    for (int c = 'a'; c <= 'f'; ++c) digits[c] = static_cast<std::int8_t>(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c) digits[c] = static_cast<std::int8_t>(c - 'A' + 10);
    return digits;
}
constexpr std::array<std::int8_t, 256> kHexDigits = MakeHexDigits();

// Converts up to `width` characters as one hexadecimal number, stopping at the first
// character that is not a hex digit.
std::uint32_t HexNumber(const char* text, std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        const int digit = kHexDigits[static_cast<unsigned char>(text[i])];
        if (digit < 0) break;
        value = value << 4 | static_cast<std::uint32_t>(digit);
    }
    return value;
}

std::uint16_t HexWord(const char* text) {
    return static_cast<std::uint16_t>(HexNumber(text, 2) | HexNumber(text + 2, 2) << 8);
}

std::size_t ContentLength(const char* line) {
    std::size_t length = std::strlen(line);
    if (length > 0 && line[length - 1] == '\n') --length;
    if (length > 0 && line[length - 1] == '\r') --length;
    return length;
}

enum class Placement { Placed, Outside };

Placement PlaceData(const char* digits, std::uint32_t groups, std::uint32_t wordAddress,
                    const std::array<CMemoryImage*, 3>& images) {
    for (std::uint32_t j = 0; j < groups; ++j, wordAddress += 2, digits += 8) {
        CMemoryImage* target = nullptr;
        for (CMemoryImage* image : images) {
            if (image->Holds(wordAddress)) {
                target = image;
                break;
            }
        }
        if (target == nullptr) return Placement::Outside;
        // The upper half goes to the image of the lower half, even past its extra cell.
        target->WriteWord(wordAddress, HexWord(digits));
        target->WriteWord(wordAddress + 1, HexWord(digits + 4));
    }
    return Placement::Placed;
}

}  // namespace

int ReadHexFile(std::FILE* file, CMemoryImage& code, CMemoryImage& data, CMemoryImage& config) {
    const std::array<CMemoryImage*, 3> images = {&code, &data, &config};
    std::rewind(file);
    char line[kLineBufferSize];
    std::uint32_t upperAddress = 0;
    int lineNumber = 0;
    while (std::fgets(line, kLineBufferSize, file) != nullptr) {
        ++lineNumber;
        if (line[0] != ':') return -lineNumber;
        const std::size_t length = ContentLength(line);
        const std::uint32_t header = HexNumber(line + 1, 8);
        const std::uint32_t byteCount = header >> 24;
        const std::uint32_t address = header >> 8 & 0xFFFF;
        const std::uint32_t type = header & 0xFF;
        // A record must hold what its byte count announces: a truncated record is refused
        // before any of it is placed.
        if (length < kHeaderEnd + 2 * byteCount) return -lineNumber;
        switch (type) {
            case 0x00: {
                const std::uint32_t byteAddress = upperAddress << 16 | address;
                if (PlaceData(line + kHeaderEnd, byteCount / 4, byteAddress / 2, images) ==
                    Placement::Outside) {
                    return 0;
                }
                break;
            }
            case 0x01:
                return 1;
            case 0x04:
                if (byteCount != 2 || address != 0) return -lineNumber;
                upperAddress = HexNumber(line + kHeaderEnd, 4);
                break;
            default:
                return -lineNumber;
        }
    }
    // A read error is not the end of the file: the line that could not be read is refused.
    if (std::ferror(file)) return -(lineNumber + 1);
    return 1;
}
