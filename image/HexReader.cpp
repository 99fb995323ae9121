#include "image/HexReader.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

// The longest record: mark, count, address (2), type, 255 data bytes and the checksum.
constexpr std::size_t kLongestRecord = 1 + 2 * (1 + 2 + 1 + 255 + 1);
// A line is read with room for the longest record and its terminator, and a little more,
// so that a longer one is seen as too long without reading it all.
constexpr std::size_t kLineBufferSize = kLongestRecord + 4;
constexpr std::size_t kHeaderBytes = 4;  // count, address (2), type

constexpr std::array<std::int8_t, 256> MakeHexDigits() {
    std::array<std::int8_t, 256> digits{};
    for (auto& digit : digits) digit = -1;
    for (int c = '0'; c <= '9'; ++c) digits[c] = static_cast<std::int8_t>(c - '0');
    for (int c = 'a'; c <= 'f'; ++c) digits[c] = static_cast<std::int8_t>(c - 'a' + 10);
    for (int c = 'A'; c <= 'F'; ++c) digits[c] = static_cast<std::int8_t>(c - 'A' + 10);
    return digits;
}
constexpr std::array<std::int8_t, 256> kHexDigits = MakeHexDigits();

std::string Hex2(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFF);
    return text;
}

std::string Printable(unsigned char c) {
    if (c >= 0x20 && c < 0x7F) return std::string("'") + static_cast<char>(c) + "'";
    return "character " + Hex2(c);
}

// One record decoded into bytes; `reason` is empty when the record is sound.
struct Record {
    std::array<std::uint8_t, kLongestRecord / 2> bytes{};
    std::size_t size = 0;
    std::string reason;

    std::uint32_t Count() const { return bytes[0]; }
    std::uint32_t Address() const { return std::uint32_t{bytes[1]} << 8 | bytes[2]; }
    std::uint32_t Type() const { return bytes[3]; }
    const std::uint8_t* Data() const { return bytes.data() + kHeaderBytes; }
};

Record Decode(const char* text, std::size_t length) {
    Record record;
    if (length == 0) {
        record.reason = "an empty line";
        return record;
    }
    if (text[0] != ':') {
        record.reason = "the line does not begin with ':'";
        return record;
    }
    for (std::size_t i = 1; i < length; ++i) {
        if (kHexDigits[static_cast<unsigned char>(text[i])] < 0) {
            record.reason = Printable(static_cast<unsigned char>(text[i])) + " is not a hex digit";
            return record;
        }
    }
    const std::size_t digits = length - 1;
    if (digits % 2 != 0) {
        record.reason = "an odd number of hex digits (" + std::to_string(digits) + ")";
        return record;
    }
    record.size = digits / 2;
    for (std::size_t i = 0; i < record.size; ++i) {
        record.bytes[i] =
            static_cast<std::uint8_t>(kHexDigits[static_cast<unsigned char>(text[1 + 2 * i])] << 4 |
                                      kHexDigits[static_cast<unsigned char>(text[2 + 2 * i])]);
    }
    if (record.size < kHeaderBytes + 1) {
        record.reason = "too short for a record";
        return record;
    }
    const std::size_t present = record.size - kHeaderBytes - 1;
    if (present != record.Count()) {
        record.reason = "byte count " + Hex2(record.Count()) + " announces " +
                        std::to_string(record.Count()) + " data bytes, the record holds " +
                        std::to_string(present);
        return record;
    }
    unsigned sum = 0;
    for (std::size_t i = 0; i + 1 < record.size; ++i) sum += record.bytes[i];
    const unsigned expected = (0x100 - (sum & 0xFF)) & 0xFF;
    const unsigned given = record.bytes[record.size - 1];
    if (given != expected) {
        record.reason = "checksum " + Hex2(given) + ", expected " + Hex2(expected);
    }
    return record;
}

// Reads the line at `position` of `text`, its terminator included when there is one, into
// `line` and moves `position` past it; a line longer than `capacity` fills it without its
// terminator. 0 at the end of the text.
std::size_t ReadLine(std::string_view text, std::size_t& position, char* line,
                     std::size_t capacity) {
    std::size_t length = 0;
    while (length < capacity && position < text.size()) {
        const char c = text[position++];
        line[length++] = c;
        if (c == '\n') break;
    }
    return length;
}

std::size_t ContentLength(const char* line, std::size_t length) {
    if (length > 0 && line[length - 1] == '\n') --length;
    if (length > 0 && line[length - 1] == '\r') --length;
    return length;
}

// Places the record's 4-byte groups from word address `wordAddress` on; false at the first
// group that no image holds, with `outside` its address.
bool PlaceData(const Record& record, std::uint32_t wordAddress,
               const std::array<CMemoryImage*, 3>& images, std::uint32_t& outside) {
    const std::uint8_t* group = record.Data();
    for (std::uint32_t j = 0; j < record.Count() / 4; ++j, wordAddress += 2, group += 4) {
        CMemoryImage* target = nullptr;
        for (CMemoryImage* image : images) {
            if (image->Holds(wordAddress)) {
                target = image;
                break;
            }
        }
        if (target == nullptr) {
            outside = wordAddress;
            return false;
        }
        // The upper half goes to the image of the lower half, even past its extra cell.
        target->WriteWord(wordAddress, static_cast<std::uint16_t>(group[0] | group[1] << 8));
        target->WriteWord(wordAddress + 1, static_cast<std::uint16_t>(group[2] | group[3] << 8));
    }
    return true;
}

HexReadReport Refused(HexReadOutcome outcome, int line, std::string reason, int records) {
    return HexReadReport{outcome, line, std::move(reason), records};
}

}  // namespace

HexReadReport ReadHexRecords(std::string_view text, CMemoryImage& code, CMemoryImage& data,
                             CMemoryImage& config) {
    const std::array<CMemoryImage*, 3> images = {&code, &data, &config};
    std::size_t position = 0;
    char line[kLineBufferSize];
    std::uint32_t upperAddress = 0;
    int lineNumber = 0;
    int records = 0;
    for (;;) {
        const std::size_t read = ReadLine(text, position, line, sizeof line);
        if (read == 0) break;
        ++lineNumber;
        if (read == sizeof line && line[read - 1] != '\n') {
            return Refused(
                HexReadOutcome::BadLine, lineNumber,
                "longer than any record (" + std::to_string(kLongestRecord) + " characters)",
                records);
        }
        const Record record = Decode(line, ContentLength(line, read));
        if (!record.reason.empty()) {
            return Refused(HexReadOutcome::BadLine, lineNumber, record.reason, records);
        }
        ++records;
        switch (record.Type()) {
            case 0x00: {
                std::uint32_t outside = 0;
                if (!PlaceData(record, (upperAddress << 16 | record.Address()) / 2, images,
                               outside)) {
                    char message[96];
                    std::snprintf(message, sizeof message,
                                  "data at word address 0x%06X lies outside the dsPIC memories",
                                  outside);
                    return Refused(HexReadOutcome::OutsideData, lineNumber, message, records);
                }
                break;
            }
            case 0x01:
                return HexReadReport{HexReadOutcome::Read, 0, {}, records};
            case 0x04:
                if (record.Count() != 2 || record.Address() != 0) {
                    return Refused(HexReadOutcome::BadLine, lineNumber,
                                   "an extended address record needs byte count 0x02 and "
                                   "address 0000",
                                   records);
                }
                upperAddress = std::uint32_t{record.Data()[0]} << 8 | record.Data()[1];
                break;
            default:
                return Refused(HexReadOutcome::BadLine, lineNumber,
                               "record type " + Hex2(record.Type()) + " is not supported", records);
        }
    }
    return Refused(HexReadOutcome::NoEndRecord, lineNumber + 1,
                   "the file ends without its end-of-file record (cut short)", records);
}

HexReadReport ReadHexRecords(std::FILE* file, CMemoryImage& code, CMemoryImage& data,
                             CMemoryImage& config) {
    std::string text;
    std::rewind(file);
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
    if (std::ferror(file)) {
        return Refused(HexReadOutcome::BadLine, 1, "the file could not be read", 0);
    }
    return ReadHexRecords(text, code, data, config);
}

int ReadHexFile(std::FILE* file, CMemoryImage& code, CMemoryImage& data, CMemoryImage& config) {
    const HexReadReport report = ReadHexRecords(file, code, data, config);
    switch (report.outcome) {
        case HexReadOutcome::Read:
            return 1;
        case HexReadOutcome::OutsideData:
            return 0;
        case HexReadOutcome::BadLine:
        case HexReadOutcome::NoEndRecord:
            break;
    }
    return -report.line;
}
