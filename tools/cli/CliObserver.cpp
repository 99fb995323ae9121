#include "tools/cli/CliObserver.h"

#include <cstdio>
#include <ctime>

#include "common/LocalTime.h"
#include "tools/cli/BoxPrinter.h"

void CliObserver::OnLogLine(const std::string& message, bool ok) {
    const std::tm local = LocalTime(std::time(nullptr));
    char time[16];
    std::strftime(time, sizeof time, "%H:%M:%S", &local);
    char line[160];
    std::snprintf(line, sizeof line, "%-3d %-32s %s  %s", logLines_++, message.c_str(), time,
                  ok ? "ok" : "failed");
    output_.Log(line);
}

void CliObserver::OnChanged(SessionChange change) {
    if (session_ == nullptr) return;
    switch (change) {
        case SessionChange::Status:
            if (session_->Status().text != statusText_) {
                statusText_ = session_->Status().text;
                output_.Note("* " + statusText_);
            }
            break;
        case SessionChange::Progress:
            if (session_->WriteRunning()) {
                progress_.OnRow(*session_);
            } else if (session_->TimerWanted() && session_->SecondsWaited() > 0) {
                char line[96];
                std::snprintf(line, sizeof line, "waiting for the bootloader: %u of %u s",
                              session_->SecondsWaited(), session_->DetectionLimit());
                output_.Transient(line);
            }
            break;
        case SessionChange::BlockDone:
            progress_.OnBlockDone(*session_);
            break;
        case SessionChange::Commands:
        case SessionChange::Device:
        case SessionChange::Blocks:
        case SessionChange::Timer:
            // A console has no buttons, labels or boxes to update: the tool drives the
            // commands itself.
            break;
    }
}

BoxAnswer CliObserver::OnBox(const SessionBox& box) {
    return PrintBox(box, output_, proceedOnError_);
}
