#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace board {

// Cuts the received byte stream into the bootloader's frames: one byte for the probe,
// version, synchronism and run commands (and any byte it does not know), four for the
// identification request, and 5 + the length byte for a row write.
class FrameAssembler {
public:
    // The frame this byte completes, if any.
    std::optional<std::vector<std::uint8_t>> Feed(std::uint8_t byte);
    bool Pending() const { return !partial_.empty(); }
    const std::vector<std::uint8_t>& Partial() const { return partial_; }
    // Drops an incomplete frame and hands back its bytes.
    std::vector<std::uint8_t> Discard();

private:
    std::size_t ExpectedLength() const;

    std::vector<std::uint8_t> partial_;
};

}  // namespace board
