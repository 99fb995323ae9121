#include "tools/cli/ConsoleWindow.h"

#include <cstdio>
#include <ctime>

#include "common/LocalTime.h"

ConsoleWindow::ConsoleWindow(ConsoleOutput& output, CBootloaderApp& app, IMessageBox& boxes)
    : output_(output), app_(app), boxes_(boxes) {}

void ConsoleWindow::AddLogLine(const std::string& message, const std::string& result) {
    const std::tm local = LocalTime(std::time(nullptr));
    char time[16];
    std::strftime(time, sizeof time, "%H:%M:%S", &local);
    char line[160];
    std::snprintf(line, sizeof line, "%-3d %-32s %s  %s", logLines_++, message.c_str(), time,
                  result.c_str());
    output_.Log(line);
}

// A console has no buttons to enable, no lamp, bar or cursor to show: the tool drives the
// commands itself, prints the status texts and draws its own progress.
void ConsoleWindow::UpdateControlStates() {}
void ConsoleWindow::ShowProgressGroup(bool) {}
void ConsoleWindow::ShowStatusText(bool) {}
void ConsoleWindow::ShowStatusLamp(bool) {}
void ConsoleWindow::ShowProgressBar(bool) {}
void ConsoleWindow::RefreshCursor() {}
void ConsoleWindow::SetStatusLamp(int) {}

void ConsoleWindow::ShowVersions() {
    char firmware[16];
    std::snprintf(firmware, sizeof firmware, "%d.%d",
                  static_cast<signed char>(app_.m_firmwareVersion[0]),
                  static_cast<signed char>(app_.m_firmwareVersion[1]));
    firmware_ = firmware;
}

void ConsoleWindow::UpdateBlockChecks() {
    // As the window does: a memory the file fills is offered, code and EEPROM checked,
    // configuration only when the user asks for it.
    for (int block = kBlockCode; block <= kBlockConfig; ++block) {
        if (app_.m_device.images[block].hasData) checked_[block] = block != kBlockConfig;
    }
}

void ConsoleWindow::SetStatusText(const std::string& text) {
    if (text == statusText_) return;
    statusText_ = text;
    output_.Note("* " + text);
}

bool ConsoleWindow::BlockCheckVisible(int block) const {
    return block >= kBlockCode && block <= kBlockConfig && visible_[block];
}

bool ConsoleWindow::BlockChecked(int block) const {
    return block >= kBlockCode && block <= kBlockConfig && checked_[block];
}

void ConsoleWindow::SetRangeLabel(int block, const std::string& text) {
    if (block >= kBlockCode && block <= kBlockConfig) rangeLabels_[block] = text;
}

void ConsoleWindow::ShowBlockControls(int block) {
    if (block >= kBlockCode && block <= kBlockConfig) visible_[block] = true;
}

void ConsoleWindow::SetBlockChecked(int block, bool checked) {
    if (block >= kBlockCode && block <= kBlockConfig) checked_[block] = checked;
}
