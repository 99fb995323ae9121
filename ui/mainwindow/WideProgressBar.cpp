#include "ui/mainwindow/WideProgressBar.h"

#include <QProgressBar>
#include <algorithm>

namespace {

// Spans wider than an int are shown scaled down by a power of two.
int ScaleShift(std::uint32_t span) {
    int shift = 0;
    while ((span >> shift) > 0x7FFFFFFFu) ++shift;
    return shift;
}

}  // namespace

WideProgressBar::WideProgressBar(QProgressBar& bar) : bar_(bar) {
    Show();
}

void WideProgressBar::SetRange(std::uint32_t low, std::uint32_t high) {
    low_ = low;
    high_ = std::max(low, high);
    position_ = std::clamp(position_, low_, high_);
    Show();
}

void WideProgressBar::SetPosition(std::uint32_t position) {
    position_ = std::clamp(position, low_, high_);
    Show();
}

void WideProgressBar::Step() {
    const std::uint64_t next = std::uint64_t{position_} + step_;
    position_ = static_cast<std::uint32_t>(std::min<std::uint64_t>(next, high_));
    Show();
}

void WideProgressBar::Show() {
    const int shift = ScaleShift(high_ - low_);
    // A range of one value would make the widget show its busy animation instead.
    bar_.setRange(0, std::max(1, static_cast<int>((high_ - low_) >> shift)));
    bar_.setValue(static_cast<int>((position_ - low_) >> shift));
}
