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
    Show(Progress{});
}

void WideProgressBar::Show(const Progress& progress) {
    const int shift = ScaleShift(progress.high - progress.low);
    // A range of one value would make the widget show its busy animation instead.
    bar_.setRange(0, std::max(1, static_cast<int>((progress.high - progress.low) >> shift)));
    bar_.setValue(static_cast<int>((progress.position - progress.low) >> shift));
}
