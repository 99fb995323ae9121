#include "tests/image/SrecReading.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "tests/support/TestSupport.h"

namespace {

// A path quoted for the shell. Streamed rather than joined with `+`: mingw's GCC 12 sees a
// false overlap (-Wrestrict) in the inlined string concatenation.
struct Quoted {
    std::string path;
};

std::ostream& operator<<(std::ostream& out, const Quoted& quoted) {
    return out << '\'' << quoted.path << '\'';
}

// Runs srec_cat on the byte range of the image, shifted to 0, as a binary file; with
// `mask` every byte the file sets reads 0xFF and every hole 0.
std::optional<std::string> CropToBinary(const std::filesystem::path& hexFile,
                                        std::uint64_t firstByte, std::uint64_t endByte, bool mask,
                                        const std::filesystem::path& out) {
    std::ostringstream command;
    command << "srec_cat " << Quoted{hexFile.string()} << " -Intel -crop 0x" << std::hex
            << firstByte << " 0x" << endByte << " -offset -0x" << firstByte
            << (mask ? " -Or 0xFF" : "") << " -o " << Quoted{out.string()} << " -Binary 2>"
            << Quoted{out.string() + ".log"};
    if (std::system(command.str().c_str()) != 0) return std::nullopt;
    return testsupport::ReadFile(out);
}

std::uint8_t ByteAt(const std::string& bytes, std::size_t i) {
    return i < bytes.size() ? static_cast<std::uint8_t>(bytes[i]) : 0;
}

}  // namespace

bool SrecCatAvailable() {
    return std::system("srec_cat -VERSion >/dev/null 2>&1") == 0;
}

std::optional<SrecRegion> ReadRegionWithSrecCat(const std::filesystem::path& hexFile,
                                                const CMemoryImage& image,
                                                const std::filesystem::path& workDir) {
    const std::uint64_t cellCount = std::uint64_t{image.count} + 1;
    const std::uint64_t firstByte = 2 * std::uint64_t{image.start};
    const std::uint64_t endByte = firstByte + 2 * cellCount;
    const auto values = CropToBinary(hexFile, firstByte, endByte, false, workDir / "values.bin");
    const auto mask = CropToBinary(hexFile, firstByte, endByte, true, workDir / "mask.bin");
    if (!values || !mask) return std::nullopt;
    SrecRegion region;
    for (std::size_t i = 0; i < cellCount; ++i) {
        region.words.push_back(
            static_cast<std::uint16_t>(ByteAt(*values, 2 * i) | ByteAt(*values, 2 * i + 1) << 8));
        region.used.push_back(ByteAt(*mask, 2 * i) != 0 || ByteAt(*mask, 2 * i + 1) != 0);
    }
    return region;
}

void ExpectImageMatches(CMemoryImage& image, const SrecRegion& region) {
    int mismatches = 0;
    for (std::size_t i = 0; i < region.words.size() && mismatches < 5; ++i) {
        const std::uint32_t address = image.start + static_cast<std::uint32_t>(i);
        MemoryCell cell;
        ASSERT_EQ(image.GetCell(address, cell), 1);
        if (cell.value != region.words[i] || cell.used != region.used[i]) {
            ++mismatches;
            ADD_FAILURE() << std::hex << "word 0x" << address << ": image 0x" << cell.value
                          << (cell.used ? " used" : " unused") << ", srec_cat 0x" << region.words[i]
                          << (region.used[i] ? " used" : " unused");
        }
    }
}
