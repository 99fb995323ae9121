#pragma once

#include <cstdint>

class QProgressBar;

// A progress bar over a full 32-bit range of word addresses, as the write and the detection
// use it; the widget itself counts in int. The position stays inside the range, and a step
// past the end stops at the end.
class WideProgressBar {
public:
    explicit WideProgressBar(QProgressBar& bar);

    void SetRange(std::uint32_t low, std::uint32_t high);
    void SetPosition(std::uint32_t position);
    void SetStep(std::uint32_t step) { step_ = step; }
    void Step();
    std::uint32_t Position() const { return position_; }

private:
    void Show();

    QProgressBar& bar_;
    std::uint32_t low_ = 0;
    std::uint32_t high_ = 100;
    std::uint32_t position_ = 0;
    std::uint32_t step_ = 10;
};
