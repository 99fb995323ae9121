#include "tests/soak/SoakWindow.h"

#include <cstdio>

#include "app/BootloaderApp.h"

void SoakWindow::AddLogLine(const std::string& message, const std::string& result) {
    lastLine = {message, result};
}

void SoakWindow::UpdateBlockChecks() {
    for (int block = kBlockCode; block <= kBlockConfig; ++block) {
        checked_[block] = theApp().m_device.images[block].hasData;
    }
}

BoxAnswer SoakWindow::Show(const std::string& text, const std::string& caption, BoxIcon,
                           BoxButtons) {
    ++boxes;
    std::fprintf(stderr, "message box \"%s\": %s\n", caption.c_str(), text.c_str());
    return BoxAnswer::No;
}
