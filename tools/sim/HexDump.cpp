#include "tools/sim/HexDump.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <vector>

namespace board {

namespace {

constexpr std::size_t kRecordBytes = 16;

void AppendRecord(std::string& out, std::uint8_t type, std::uint16_t offset,
                  const std::vector<std::uint8_t>& data) {
    unsigned sum = static_cast<unsigned>(data.size()) + (offset >> 8) + (offset & 0xFF) + type;
    char field[16];
    std::snprintf(field, sizeof field, ":%02X%04X%02X", static_cast<unsigned>(data.size()), offset,
                  type);
    out += field;
    for (std::uint8_t byte : data) {
        std::snprintf(field, sizeof field, "%02X", byte);
        out += field;
        sum += byte;
    }
    std::snprintf(field, sizeof field, "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
    out += field;
}

// Collects word pairs into data records, starting a new record at every gap, every
// full record and every 64 KB segment.
class RecordWriter {
public:
    explicit RecordWriter(std::string& out) : out_(out) {}

    void AddPair(std::uint64_t byteAddress, std::uint16_t low, std::uint16_t high) {
        if (!pending_.empty() && (byteAddress != nextAddress_ || pending_.size() == kRecordBytes ||
                                  byteAddress >> 16 != recordAddress_ >> 16)) {
            Flush();
        }
        if (pending_.empty()) recordAddress_ = byteAddress;
        for (std::uint16_t word : {low, high}) {
            pending_.push_back(static_cast<std::uint8_t>(word & 0xFF));
            pending_.push_back(static_cast<std::uint8_t>(word >> 8));
        }
        nextAddress_ = byteAddress + 4;
    }

    void Flush() {
        if (pending_.empty()) return;
        const std::uint64_t segment = recordAddress_ >> 16;
        if (segment != segment_) {
            AppendRecord(out_, 0x04, 0,
                         {static_cast<std::uint8_t>(segment >> 8),
                          static_cast<std::uint8_t>(segment & 0xFF)});
            segment_ = segment;
        }
        AppendRecord(out_, 0x00, static_cast<std::uint16_t>(recordAddress_ & 0xFFFF), pending_);
        pending_.clear();
    }

private:
    std::string& out_;
    std::vector<std::uint8_t> pending_;
    std::uint64_t recordAddress_ = 0;
    std::uint64_t nextAddress_ = 0;
    std::optional<std::uint64_t> segment_;
};

}  // namespace

std::string FormatIntelHex(const BoardMemory& memory) {
    std::string out;
    RecordWriter writer(out);
    for (const BoardRegion& region : memory.Regions()) {
        for (std::uint64_t pair = region.first & ~std::uint64_t{1}; pair <= region.last;
             pair += 2) {
            const auto low = memory.Word(static_cast<std::uint32_t>(pair));
            const auto high = memory.Word(static_cast<std::uint32_t>(pair + 1));
            const std::uint16_t lowWord = low.value_or(BoardMemory::kErased);
            const std::uint16_t highWord = high.value_or(BoardMemory::kErased);
            if (lowWord == BoardMemory::kErased && highWord == BoardMemory::kErased) continue;
            writer.AddPair(pair * 2, lowWord, highWord);
        }
    }
    writer.Flush();
    AppendRecord(out, 0x01, 0, {});
    return out;
}

}  // namespace board
