// Where a board's own number goes in a loaded image, and the places that are refused.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "control/SerialNumber.h"

namespace {

// An Intel HEX data record of the 16-bit words `words` at the word address `address`, each
// word in a group of four bytes (low, high, then the upper word's two).
std::string Record(std::uint32_t address, const std::vector<std::uint16_t>& words) {
    const std::uint32_t bytes = address * 2;
    char line[160];
    unsigned sum = 2 + 4 + (bytes >> 24 & 0xFF) + (bytes >> 16 & 0xFF);
    std::snprintf(line, sizeof line, ":02000004%04X%02X\n", bytes >> 16,
                  (0x100 - (sum & 0xFF)) & 0xFF);
    std::string text = line;
    const auto count = static_cast<unsigned>(words.size() * 2);
    sum = count + (bytes >> 8 & 0xFF) + (bytes & 0xFF);
    std::snprintf(line, sizeof line, ":%02X%04X00", count, bytes & 0xFFFF);
    text += line;
    for (const std::uint16_t word : words) {
        std::snprintf(line, sizeof line, "%02X%02X", word & 0xFF, word >> 8);
        text += line;
        sum += (word & 0xFF) + (word >> 8);
    }
    std::snprintf(line, sizeof line, "%02X\n", (0x100 - (sum & 0xFF)) & 0xFF);
    return text + line;
}

// A dsPIC30F4011's memories with a protected word in program flash and in data EEPROM.
void Layout(CDeviceInfo& device) {
    CMemoryImage& code = device.images[kBlockCode];
    code.SetRange(0x0000, 0x7FFE);
    code.present = true;
    code.instructionsPerRow = 32;
    code.MarkProtected(0x0400, 0x0401);
    CMemoryImage& eeprom = device.images[kBlockEeprom];
    eeprom.SetRange(0x7FFC00, 0x7FFFFE);
    eeprom.present = true;
    eeprom.instructionsPerRow = 16;
    eeprom.MarkProtected(0x7FFD00, 0x7FFD01);
    CMemoryImage& config = device.images[kBlockConfig];
    config.SetRange(0xF80000, 0xF8000E);
    config.present = true;
    config.instructionsPerRow = 1;
    device.bootStart = 0x7C00;
    device.bootEnd = 0x7FFE;
}

std::shared_ptr<const LoadedImage> Load(const std::string& text) {
    auto source = std::make_shared<HexSource>();
    source->file.path = "board.hex";
    source->file.text = text + ":00000001FF\n";
    source->read.result = HexLoadResult::Loaded;
    CDeviceInfo device;
    Layout(device);
    const LoadOutcome outcome = LoadImage(source, device);
    EXPECT_TRUE(outcome.report.Loaded()) << outcome.report.Cause();
    return outcome.image;
}

// A program (two instructions at 0x0100) and one EEPROM word at 0x7FFC00.
const std::string kProgram =
    Record(0x0100, {0x1234, 0x0000, 0x5678, 0x0000}) + Record(0x7FFC00, {0xAAAA, 0x0000});

std::uint16_t Word(const LoadedImage& image, int block, std::uint32_t address) {
    MemoryCell cell;
    CMemoryImage& memory = const_cast<CMemoryImage&>(image.Image(block));
    return memory.GetCell(address, cell) > 0 ? cell.value : 0xDEAD;
}

bool Sent(const LoadedImage& image, int block, std::uint32_t row) {
    const auto& rows = image.Plan(block).rows.rows;
    return std::find(rows.begin(), rows.end(), row) != rows.end();
}

TEST(SerialNumberTest, TheNumberLandsInItsRowOrIsRefusedWithItsReason) {
    struct Case {
        const char* name;
        std::uint32_t address;
        unsigned words;
        std::uint64_t number;
        int block;                        // -1: refused
        std::vector<std::uint32_t> rows;  // the rows holding it
        std::vector<std::uint16_t> low;   // the words at address, address + 2, ...
        const char* refusal;
    };
    const Case cases[] = {
        {"over the file's own EEPROM word",
         0x7FFC00,
         1,
         1000,
         kBlockEeprom,
         {0x7FFC00},
         {1000},
         ""},
        {"an EEPROM row the file leaves empty",
         0x7FFE00,
         2,
         0x12345678,
         kBlockEeprom,
         {0x7FFE00},
         {0x5678, 0x1234},
         ""},
        {"program flash, over two rows",
         0x023E,
         3,
         0x000300020001ull,
         kBlockCode,
         {0x0200, 0x0240},
         {0x0001, 0x0002, 0x0003},
         ""},
        {"the last EEPROM word", 0x7FFFFE, 1, 65535, kBlockEeprom, {0x7FFFE0}, {65535}, ""},
        {"an odd address", 0x7FFC01, 1, 1, -1, {}, {}, "an odd address"},
        {"the jump into the bootloader", 0x0002, 1, 1, -1, {}, {}, "jump into the bootloader"},
        {"the bootloader", 0x7C00, 1, 1, -1, {}, {}, "inside the bootloader (0x7C00 - 0x7FFE)"},
        {"running into the bootloader", 0x7BFE, 2, 1, -1, {}, {}, "inside the bootloader"},
        {"a protected instruction", 0x0400, 1, 1, -1, {}, {}, "the word at 0x0400 is protected"},
        {"a protected EEPROM word",
         0x7FFCFE,
         2,
         1,
         -1,
         {},
         {},
         "the word at 0x7FFD00 is protected"},
        {"a row that starts protected",
         0x0410,
         1,
         1,
         -1,
         {},
         {},
         "the row 0x0400 starts on a protected word"},
        {"the configuration registers", 0xF80000, 1, 1, -1, {}, {}, "configuration registers"},
        {"no memory",
         0x900000,
         1,
         1,
         -1,
         {},
         {},
         "neither program flash (0x0000 - 0x7FFE) nor data EEPROM (0x7FFC00 - 0x7FFFFE)"},
        {"past the end of EEPROM", 0x7FFFFE, 2, 1, -1, {}, {}, "run past the end of data EEPROM"},
        {"too large for one word", 0x7FFC00, 1, 65536, -1, {}, {}, "does not fit in 1 word"},
        {"no words", 0x7FFC00, 0, 1, -1, {}, {}, "1 to 4 words"},
    };
    const std::shared_ptr<const LoadedImage> loaded = Load(kProgram);
    ASSERT_TRUE(loaded);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const SerialStamp stamp = StampSerialNumber(*loaded, {c.address, c.words}, c.number);
        if (c.block < 0) {
            EXPECT_FALSE(stamp.image);
            EXPECT_NE(stamp.landing.refusal.find(c.refusal), std::string::npos)
                << stamp.landing.refusal;
            continue;
        }
        ASSERT_TRUE(stamp.image) << stamp.landing.refusal;
        EXPECT_EQ(stamp.landing.block, c.block);
        EXPECT_EQ(stamp.landing.rows, c.rows);
        for (std::size_t k = 0; k < c.low.size(); ++k) {
            const auto address = static_cast<std::uint32_t>(c.address + 2 * k);
            EXPECT_EQ(Word(*stamp.image, c.block, address), c.low[k]) << std::hex << address;
            EXPECT_EQ(Word(*stamp.image, c.block, address + 1), 0) << std::hex << address + 1;
        }
        for (const std::uint32_t row : c.rows) EXPECT_TRUE(Sent(*stamp.image, c.block, row));
        EXPECT_TRUE(stamp.image->Plan(c.block).writtenByDefault);
        // The file's program and its row 0 stay as loaded.
        EXPECT_EQ(Word(*stamp.image, kBlockCode, 0x0100), 0x1234);
        EXPECT_TRUE(stamp.image->RowZeroMade());
        // The place alone is judged the same way.
        EXPECT_TRUE(LandSerialNumber(*loaded, {c.address, c.words}).Lands());
    }
    // Every board's stamp is a copy: the loaded image keeps the file's own word.
    EXPECT_EQ(Word(*loaded, kBlockEeprom, 0x7FFC00), 0xAAAA);
}

// A file without a program leaves program flash alone; a number there writes its row only.
TEST(SerialNumberTest, ANumberInProgramFlashOfAFileWithoutAProgramWritesItsRowAlone) {
    const std::shared_ptr<const LoadedImage> loaded = Load(Record(0x7FFC00, {0xAAAA, 0x0000}));
    ASSERT_TRUE(loaded);
    ASSERT_FALSE(loaded->Plan(kBlockCode).filled);
    const SerialStamp stamp = StampSerialNumber(*loaded, {0x0200, 1}, 4242);
    ASSERT_TRUE(stamp.image) << stamp.landing.refusal;
    EXPECT_EQ(stamp.image->Plan(kBlockCode).rows.rows, std::vector<std::uint32_t>{0x0200});
    EXPECT_FALSE(stamp.image->RowZeroMade());
    EXPECT_EQ(Word(*stamp.image, kBlockCode, 0x0200), 4242);
}

}  // namespace
