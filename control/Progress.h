#pragma once

#include <cstdint>

// The progress bar's state as the control keeps it: a write's word addresses of one block, or
// a detection's timer ticks. The position stays inside the range, and a step past the end
// stops at the end. Windows only render it.
struct Progress {
    std::uint32_t low = 0;
    std::uint32_t high = 100;
    std::uint32_t position = 0;
    std::uint32_t step = 10;

    // A reversed range becomes the single value `first`; the position is kept inside it.
    void SetRange(std::uint32_t first, std::uint32_t last);
    void SetPosition(std::uint32_t at);
    void Step();
};
