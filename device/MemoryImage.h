#pragma once

#include <cstdint>
#include <memory>

// One 16-bit word of a memory region.
struct MemoryCell {
    std::uint16_t value = 0;
    bool used = false;
    bool isProtected = false;
};

// One memory region of the target (program flash, data EEPROM or configuration):
// its catalogue geometry and one cell per word address, plus one cell beyond `end`
// that takes the upper half of a 4-byte group starting at `end`.
class CMemoryImage {
public:
    CMemoryImage() = default;
    CMemoryImage(const CMemoryImage&) = delete;
    CMemoryImage& operator=(const CMemoryImage&) = delete;

    // end below start is refused: the image then keeps no cells.
    void SetRange(std::uint32_t start, std::uint32_t end);
    // Gives this image the geometry, range and protected marks of `other`, with empty cells:
    // a load fills such an image and hands it over only when the whole file was sound.
    void CopyLayout(const CMemoryImage& other);
    // Makes this image an exact copy of `other`: geometry, range, flags and every cell.
    void CopyFrom(const CMemoryImage& other);
    // Exchanges everything with `other`.
    void Swap(CMemoryImage& other) noexcept;
    void Clear();
    std::int32_t MarkProtected(std::uint32_t first, std::uint32_t last);
    std::int32_t GetCell(std::uint32_t address, MemoryCell& cell);
    bool IsProtected(std::uint32_t address);
    std::uint16_t ReadWord(std::uint32_t address);
    std::uint32_t ReadInstruction(std::uint32_t address, bool highFirst);
    std::int32_t WriteWord(std::uint32_t address, std::uint16_t value);
    std::uint32_t FirstUsedAddress(bool* empty = nullptr) const;
    std::uint32_t LastUsedAddress(bool* empty = nullptr) const;
    std::uint32_t GetStart() const { return start; }
    std::uint32_t GetEnd() const { return end; }
    // Whether `address` is inside: start .. end + 1 of an image that has cells.
    bool Holds(std::uint32_t address) const;

    bool hasData = false;
    bool rangeError = false;
    bool protectedHit = false;
    bool present = false;
    std::int32_t instructionsPerRow = 0;
    std::int32_t rowsPerPage = 0;
    std::uint32_t start = 0;
    std::uint32_t end = 0;
    std::uint32_t count = 0;
    std::unique_ptr<MemoryCell[]> cells;  // count + 1 cells, or none
};
