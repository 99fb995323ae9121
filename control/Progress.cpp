#include "control/Progress.h"

#include <algorithm>

void Progress::SetRange(std::uint32_t first, std::uint32_t last) {
    low = first;
    high = std::max(first, last);
    position = std::clamp(position, low, high);
}

void Progress::SetPosition(std::uint32_t at) {
    position = std::clamp(at, low, high);
}

void Progress::Step() {
    // Word addresses reach the top of 32 bits: the sum is taken wider.
    const std::uint64_t next = std::uint64_t{position} + step;
    position = static_cast<std::uint32_t>(std::min<std::uint64_t>(next, high));
}
