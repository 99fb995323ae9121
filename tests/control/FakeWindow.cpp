#include "tests/control/FakeWindow.h"

#include "app/BootloaderApp.h"

void FakeWindow::AddLogLine(const std::string& message, const std::string& result) {
    calls.push_back("AddLogLine(" + message + "|" + result + ")");
    log.emplace_back(message, result);
}

void FakeWindow::ShowProgressGroup(bool show) {
    lampVisible = statusVisible = barVisible = show;
}

void FakeWindow::SetStatusLamp(int state) {
    calls.push_back("SetStatusLamp(" + std::to_string(state) + ")");
    if (state >= kLampRed && state <= kLampGreen) lamp = state;
}

void FakeWindow::ShowVersions() {
    calls.push_back("ShowVersions");
    deviceName = theApp().m_device.name;
}

void FakeWindow::UpdateBlockChecks() {
    calls.push_back("UpdateBlockChecks");
    for (int block = kBlockCode; block <= kBlockConfig; ++block) {
        if (theApp().m_device.images[block].hasData) checked[block] = block != kBlockConfig;
    }
}

void FakeWindow::SetStatusText(const std::string& text) {
    status = text;
    statusTexts.push_back(text);
}

void FakeWindow::ShowProgress(const Progress& progress) {
    barLow = progress.low;
    barHigh = progress.high;
    barPosition = progress.position;
    barStep = progress.step;
}

BoxAnswer FakeWindow::Show(const std::string& text, const std::string& caption, BoxIcon icon,
                           BoxButtons buttons) {
    calls.push_back("Box(" + caption + ")");
    boxes.push_back(ShownBox{text, caption, icon, buttons, lamp});
    if (buttons == BoxButtons::Ok) return BoxAnswer::Ok;
    if (answers.empty()) return BoxAnswer::No;
    const BoxAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}
