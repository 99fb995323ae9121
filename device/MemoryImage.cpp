#include "device/MemoryImage.h"

#include <new>
#include <utility>

void CMemoryImage::SetRange(std::uint32_t newStart, std::uint32_t newEnd) {
    cells.reset();
    start = 0;
    end = 0;
    count = 0;
    hasData = false;
    rangeError = false;
    protectedHit = false;
    // A reversed range, or one whose count + 1 cells cannot be counted in 32 bits, is no
    // region at all: the image keeps no cells and every address is outside.
    if (newEnd < newStart || newEnd - newStart == UINT32_MAX) return;
    const std::uint32_t newCount = newEnd - newStart + 1;
    cells.reset(new (std::nothrow) MemoryCell[std::size_t{newCount} + 1]());
    if (!cells) return;
    start = newStart;
    end = newEnd;
    count = newCount;
}

void CMemoryImage::CopyLayout(const CMemoryImage& other) {
    present = other.present;
    instructionsPerRow = other.instructionsPerRow;
    rowsPerPage = other.rowsPerPage;
    if (!other.cells) {
        SetRange(1, 0);
        return;
    }
    SetRange(other.start, other.end);
    if (!cells) return;
    for (std::uint64_t i = 0; i <= count; ++i) cells[i].isProtected = other.cells[i].isProtected;
}

void CMemoryImage::CopyFrom(const CMemoryImage& other) {
    CopyLayout(other);
    if (cells && other.cells) {
        for (std::uint64_t i = 0; i <= count; ++i) cells[i] = other.cells[i];
    }
    hasData = other.hasData;
    rangeError = other.rangeError;
    protectedHit = other.protectedHit;
}

void CMemoryImage::Swap(CMemoryImage& other) noexcept {
    std::swap(hasData, other.hasData);
    std::swap(rangeError, other.rangeError);
    std::swap(protectedHit, other.protectedHit);
    std::swap(present, other.present);
    std::swap(instructionsPerRow, other.instructionsPerRow);
    std::swap(rowsPerPage, other.rowsPerPage);
    std::swap(start, other.start);
    std::swap(end, other.end);
    std::swap(count, other.count);
    std::swap(cells, other.cells);
}

void CMemoryImage::Clear() {
    hasData = false;
    protectedHit = false;
    rangeError = false;
    if (!cells) return;
    for (std::uint32_t i = 0; i <= count; ++i) {
        cells[i].value = 0;
        cells[i].used = false;
    }
}

bool CMemoryImage::Holds(std::uint32_t address) const {
    return cells && address >= start && address - start <= count;
}

std::int32_t CMemoryImage::MarkProtected(std::uint32_t first, std::uint32_t last) {
    if (!cells || first < start || last > end) return -1;
    for (std::uint64_t a = first; a <= last; ++a) cells[a - start].isProtected = true;
    return 1;
}

std::int32_t CMemoryImage::GetCell(std::uint32_t address, MemoryCell& cell) {
    if (!Holds(address)) {
        rangeError = true;
        return -1;
    }
    cell = cells[address - start];
    return 1;
}

bool CMemoryImage::IsProtected(std::uint32_t address) {
    if (!Holds(address)) {
        rangeError = true;
        return true;
    }
    return cells[address - start].isProtected;
}

std::uint16_t CMemoryImage::ReadWord(std::uint32_t address) {
    if (!Holds(address)) {
        rangeError = true;
        return 0;
    }
    return cells[address - start].value;
}

std::uint32_t CMemoryImage::ReadInstruction(std::uint32_t address, bool highFirst) {
    const std::uint32_t first = ReadWord(address);
    const std::uint32_t second = ReadWord(address + 1);
    return highFirst ? (first << 16 | second) : (first | second << 16);
}

std::int32_t CMemoryImage::WriteWord(std::uint32_t address, std::uint16_t value) {
    if (!Holds(address)) {
        rangeError = true;
        return -1;
    }
    MemoryCell& cell = cells[address - start];
    if (cell.isProtected) protectedHit = true;
    cell.value = value;
    cell.used = true;
    hasData = true;
    return 1;
}

// Scans start .. end - 1 only: the cells at end and end + 1 are never looked at.
std::uint32_t CMemoryImage::FirstUsedAddress(bool* empty) const {
    if (!cells) {
        if (empty) *empty = true;
        return 0;
    }
    std::uint32_t a = start;
    while (a < end && !cells[a - start].used) ++a;
    if (empty) *empty = (a == end);
    return a;
}

std::uint32_t CMemoryImage::LastUsedAddress(bool* empty) const {
    if (!cells) {
        if (empty) *empty = true;
        return 0;
    }
    // A one-address region has nothing below end to scan; starting at end - 1 would read
    // the cell before the array.
    if (start == end) {
        if (empty) *empty = true;
        return start;
    }
    std::uint32_t a = end - 1;
    while (a > start && !cells[a - start].used) --a;
    if (empty) *empty = !cells[a - start].used;
    return a;
}
