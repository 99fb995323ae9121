#pragma once

#include <cstdint>

#include "control/Progress.h"

class QProgressBar;

// Shows the control's progress, which spans a full 32-bit range of word addresses, on a widget
// that counts in int.
class WideProgressBar {
public:
    explicit WideProgressBar(QProgressBar& bar);

    void Show(const Progress& progress);

private:
    QProgressBar& bar_;
};
