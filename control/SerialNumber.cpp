#include "control/SerialNumber.h"

#include <algorithm>
#include <cstdio>

namespace {

// The jump into the bootloader the load writes: the two words of one GOTO at 0x0000 - 0x0003.
constexpr std::uint32_t kResetVectorEnd = 3;

std::string Hex(std::uint64_t address) {
    char text[24];
    std::snprintf(text, sizeof text, "0x%04llX", static_cast<unsigned long long>(address));
    return text;
}

std::string RangeText(const CMemoryImage& image) {
    return Hex(image.GetStart()) + " - " + Hex(image.GetEnd());
}

SerialLanding Refused(std::string why) {
    SerialLanding landing;
    landing.refusal = std::move(why);
    return landing;
}

// The last word address the number's words take, the upper cell of its last word included.
std::uint64_t LastCell(SerialPlace place) {
    return std::uint64_t{place.address} + 2 * std::uint64_t{place.words} - 1;
}

// The memory holding every word of `place`; -1 when none does.
int BlockHolding(const LoadedImage& image, SerialPlace place) {
    for (const int block : {kBlockCode, kBlockEeprom, kBlockConfig}) {
        const CMemoryImage& memory = image.Image(block);
        if (memory.present && memory.Holds(place.address) &&
            LastCell(place) <= std::uint64_t{memory.GetEnd()} + 1) {
            return block;
        }
    }
    return -1;
}

// Why no memory holds every word of `place`: it starts in none, or runs past the end of one.
std::string OutsideText(const LoadedImage& image, SerialPlace place) {
    std::string names;
    for (const int block : {kBlockCode, kBlockEeprom}) {
        const CMemoryImage& memory = image.Image(block);
        if (!memory.present) continue;
        if (memory.Holds(place.address)) {
            return "its " + std::to_string(place.words) + " words run past the end of " +
                   kMemoryBlocks[block].name + " (" + RangeText(memory) + ")";
        }
        names += std::string(names.empty() ? "neither " : " nor ") + kMemoryBlocks[block].name +
                 " (" + RangeText(memory) + ")";
    }
    return names.empty() ? "the device has neither program flash nor data EEPROM"
                         : "it lies in " + names;
}

// The refusal of a place whose words are not sound where they lie, before any row is planned.
std::string WordsRefusal(const LoadedImage& image, SerialPlace place, int block) {
    const CMemoryImage& memory = image.Image(block);
    for (std::uint64_t cell = place.address; cell <= LastCell(place); ++cell) {
        if (memory.cells[cell - memory.GetStart()].isProtected) {
            return "the word at " + Hex(cell) + " is protected";
        }
    }
    if (block != kBlockCode) return {};
    if (place.address <= kResetVectorEnd) {
        return "0x0000 - 0x0003 hold the jump into the bootloader";
    }
    const std::uint64_t bootLast = std::uint64_t{image.BootEnd()} | 1;
    if (place.address <= bootLast && LastCell(place) >= image.BootStart()) {
        return "it lies inside the bootloader (" + Hex(image.BootStart()) + " - " +
               Hex(image.BootEnd()) + ")";
    }
    return {};
}

SerialLanding Land(const LoadedImage& image, SerialPlace place) {
    const std::string at = "the serial number at " + Hex(place.address) + ": ";
    if (place.words < 1 || place.words > kMostSerialWords) {
        return Refused(at + "it takes 1 to " + std::to_string(kMostSerialWords) + " words");
    }
    if (place.address % 2 != 0) {
        return Refused(at + "an odd address is the upper half of an instruction or EEPROM word");
    }
    const int block = BlockHolding(image, place);
    if (block == kBlockConfig) return Refused(at + "the configuration registers take no number");
    if (block < 0) return Refused(at + OutsideText(image, place));
    if (const std::string why = WordsRefusal(image, place, block); !why.empty()) {
        return Refused(at + why);
    }
    SerialLanding landing;
    landing.block = block;
    return landing;
}

void PlaceWords(CMemoryImage& memory, SerialPlace place, std::uint64_t number) {
    for (unsigned k = 0; k < place.words; ++k) {
        const std::uint32_t low = place.address + 2 * k;
        memory.WriteWord(low, static_cast<std::uint16_t>(number >> (16 * k) & 0xFFFF));
        // The upper half (an instruction's top byte, an EEPROM word's padding) is the file's
        // when it gave one, else zero.
        MemoryCell upper;
        if (memory.GetCell(low + 1, upper) > 0 && !upper.used) memory.WriteWord(low + 1, 0);
    }
}

// Every row holding a word of the number must be one the write sends.
std::string RowsRefusal(const BlockPlan& plan, SerialLanding& landing, std::uint32_t address) {
    const auto has = [](const std::vector<std::uint32_t>& rows, std::uint32_t row) {
        return std::find(rows.begin(), rows.end(), row) != rows.end();
    };
    for (const std::uint32_t row : landing.rows) {
        if (has(plan.rows.rows, row)) continue;
        const std::string at = "the serial number at " + Hex(address) + ": the row " + Hex(row);
        if (has(plan.rows.skippedBootloader, row)) return at + " overlaps the bootloader";
        if (has(plan.rows.skippedProtected, row)) return at + " starts on a protected word";
        return at + " is not one a write sends";
    }
    return {};
}

}  // namespace

std::uint64_t LargestSerialNumber(unsigned words) {
    if (words >= kMostSerialWords) return UINT64_MAX;
    return (std::uint64_t{1} << (16 * words)) - 1;
}

SerialLanding LandSerialNumber(const LoadedImage& image, SerialPlace place) {
    return StampSerialNumber(image, place, 0).landing;
}

SerialStamp StampSerialNumber(const LoadedImage& image, SerialPlace place, std::uint64_t number) {
    SerialStamp stamp;
    stamp.landing = Land(image, place);
    if (!stamp.landing.Lands()) return stamp;
    if (number > LargestSerialNumber(place.words)) {
        stamp.landing =
            Refused("the serial number " + std::to_string(number) + " does not fit in " +
                    std::to_string(place.words) + " word" + (place.words == 1 ? "" : "s") +
                    " (at most " + std::to_string(LargestSerialNumber(place.words)) + ")");
        return stamp;
    }
    const int block = stamp.landing.block;
    std::shared_ptr<LoadedImage> stamped = image.Copy();
    CMemoryImage& memory = stamped->images_[block];
    PlaceWords(memory, place, number);
    stamped->Replan(block);

    const auto units = static_cast<std::uint32_t>(RowUnits(memory));
    for (unsigned k = 0; k < place.words && units > 0; ++k) {
        const std::uint32_t row = (place.address + 2 * k) / units * units;
        if (stamp.landing.rows.empty() || stamp.landing.rows.back() != row) {
            stamp.landing.rows.push_back(row);
        }
    }
    const BlockPlan& plan = stamped->Plan(block);
    if (!plan.rows.rowSizeValid) {
        stamp.landing = Refused("the serial number's memory has rows that cannot be framed");
        return stamp;
    }
    if (const std::string why = RowsRefusal(plan, stamp.landing, place.address); !why.empty()) {
        stamp.landing = Refused(why);
        return stamp;
    }
    stamp.image = std::move(stamped);
    return stamp;
}
