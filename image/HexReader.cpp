#include "image/HexReader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

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

// Where the file's bytes go. Bytes are placed by byte address: byte b is half of the word at
// b / 2, and the four bytes of one instruction (a group, from a byte address that is a multiple
// of 4) go to the image that holds the group's first word. A group may be split over records,
// as tools that re-block a file write it; it is placed once all four bytes are known.
class BytePlacer {
public:
    explicit BytePlacer(const std::array<CMemoryImage*, 3>& images) : images_(images) {}

    // Places `count` bytes from byte address `first`, given on `line`; a refusal's reason
    // otherwise, with `outside` set when a group lies in no image.
    std::string Place(std::uint64_t first, const std::uint8_t* bytes, std::uint32_t count, int line,
                      bool& outside) {
        outside = false;
        if (count == 0) return {};
        // Half a word continues only the record just before; alone it would shift every byte.
        if (first % 2 != 0 && first != lastEnd_) {
            return "data at the odd byte address " + Hex(first) +
                   ": a dsPIC's HEX file holds whole 16-bit words";
        }
        const std::uint64_t end = first + count;
        for (std::uint64_t at = first; at < end;) {
            const std::uint64_t group = at & ~std::uint64_t{3};
            const std::size_t from = static_cast<std::size_t>(at - group);
            const std::size_t to =
                static_cast<std::size_t>(std::min<std::uint64_t>(4, end - group));
            std::string refusal =
                PlaceInGroup(group, bytes + (at - first), from, to, line, outside);
            if (!refusal.empty()) return refusal;
            at = group + to;
        }
        spans_.push_back(Span{first, end, line});
        lastEnd_ = end;
        return {};
    }

    // Why the file may not end here: a group still lacks some of its bytes.
    std::string Unfinished(int& line) const {
        if (partial_.empty()) return {};
        const auto& [group, bytes] = *partial_.begin();
        int given = 0;
        line = 0;
        for (int k = 0; k < 4; ++k) {
            if ((bytes.given & 1u << k) == 0) continue;
            ++given;
            if (line == 0 || bytes.lines[k] < line) line = bytes.lines[k];
        }
        return "the 4-byte group at byte address " + Hex(group) +
               " is incomplete: the file gives " + std::to_string(given) + " of its bytes";
    }

private:
    struct Partial {
        std::array<std::uint8_t, 4> values{};
        std::array<int, 4> lines{};
        unsigned given = 0;  // one bit per byte of the group
    };
    struct Span {
        std::uint64_t first;
        std::uint64_t end;
        int line;
    };

    static std::string Hex(std::uint64_t value) {
        char text[24];
        std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
        return text;
    }

    CMemoryImage* ImageHolding(std::uint64_t wordAddress) const {
        if (wordAddress > UINT32_MAX) return nullptr;
        for (CMemoryImage* image : images_) {
            if (image->Holds(static_cast<std::uint32_t>(wordAddress))) return image;
        }
        return nullptr;
    }

    // The last record before this one that gave byte `address`.
    int LineOf(std::uint64_t address) const {
        for (auto span = spans_.rbegin(); span != spans_.rend(); ++span) {
            if (span->first <= address && address < span->end) return span->line;
        }
        return 0;
    }

    static std::string Conflict(std::uint64_t address, std::uint8_t value, std::uint8_t earlier,
                                int earlierLine) {
        char text[128];
        std::snprintf(text, sizeof text,
                      "gives byte address 0x%llX the value 0x%02X; line %d gave it 0x%02X",
                      static_cast<unsigned long long>(address), value, earlierLine, earlier);
        return text;
    }

    // Bytes `from` .. `to` - 1 of the group at byte address `group`, from `bytes`.
    std::string PlaceInGroup(std::uint64_t group, const std::uint8_t* bytes, std::size_t from,
                             std::size_t to, int line, bool& outside) {
        const std::uint64_t word = group / 2;
        CMemoryImage* image = ImageHolding(word);
        if (image == nullptr) {
            char text[96];
            std::snprintf(text, sizeof text,
                          "data at word address 0x%06llX lies outside the dsPIC memories",
                          static_cast<unsigned long long>(word));
            outside = true;
            return text;
        }
        const auto address = static_cast<std::uint32_t>(word);
        MemoryCell low;
        if (image->GetCell(address, low) >= 0 && low.used) {
            // Placed before: the bytes may come again, but only with the same values.
            MemoryCell high;
            const bool highKept = address < UINT32_MAX && image->GetCell(address + 1, high) >= 0;
            for (std::size_t k = from; k < to; ++k) {
                if (k >= 2 && !highKept) continue;
                const std::uint16_t cell = k < 2 ? low.value : high.value;
                const auto earlier = static_cast<std::uint8_t>(cell >> (8 * (k % 2)));
                if (bytes[k - from] != earlier) {
                    return Conflict(group + k, bytes[k - from], earlier, LineOf(group + k));
                }
            }
            return {};
        }
        auto known = partial_.find(group);
        if (known == partial_.end() && from == 0 && to == 4) {
            Store(*image, address, bytes);
            return {};
        }
        if (known == partial_.end()) known = partial_.emplace(group, Partial{}).first;
        Partial& part = known->second;
        for (std::size_t k = from; k < to; ++k) {
            const std::uint8_t value = bytes[k - from];
            if ((part.given & 1u << k) != 0) {
                if (part.values[k] != value) {
                    return Conflict(group + k, value, part.values[k], part.lines[k]);
                }
                continue;
            }
            part.values[k] = value;
            part.lines[k] = line;
            part.given |= 1u << k;
        }
        if (part.given == 0xF) {
            Store(*image, address, part.values.data());
            partial_.erase(known);
        }
        return {};
    }

    // The upper half goes to the image of the lower half, even past its extra cell.
    static void Store(CMemoryImage& image, std::uint32_t address, const std::uint8_t* group) {
        image.WriteWord(address, static_cast<std::uint16_t>(group[0] | group[1] << 8));
        image.WriteWord(address + 1, static_cast<std::uint16_t>(group[2] | group[3] << 8));
    }

    std::array<CMemoryImage*, 3> images_;
    std::map<std::uint64_t, Partial> partial_;  // groups still lacking bytes, by byte address
    std::vector<Span> spans_;                   // the data records so far, in file order
    std::uint64_t lastEnd_ = UINT64_MAX;        // where the last data record ended
};

HexReadReport Refused(HexReadOutcome outcome, int line, std::string reason, int records) {
    return HexReadReport{outcome, line, std::move(reason), records};
}

}  // namespace

HexReadReport ReadHexRecords(std::string_view text, CMemoryImage& code, CMemoryImage& data,
                             CMemoryImage& config) {
    BytePlacer placer({&code, &data, &config});
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
                bool outside = false;
                const std::string refusal =
                    placer.Place(std::uint64_t{upperAddress} << 16 | record.Address(),
                                 record.Data(), record.Count(), lineNumber, outside);
                if (!refusal.empty()) {
                    return Refused(outside ? HexReadOutcome::OutsideData : HexReadOutcome::BadLine,
                                   lineNumber, refusal, records);
                }
                break;
            }
            case 0x01: {
                if (record.Count() != 0) {
                    return Refused(HexReadOutcome::BadLine, lineNumber,
                                   "an end-of-file record carries no data (byte count " +
                                       Hex2(record.Count()) + ")",
                                   records);
                }
                int groupLine = 0;
                const std::string unfinished = placer.Unfinished(groupLine);
                if (!unfinished.empty()) {
                    return Refused(HexReadOutcome::BadLine, groupLine, unfinished, records);
                }
                return HexReadReport{HexReadOutcome::Read, 0, {}, records};
            }
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
