#include "tests/control/SessionRecorder.h"

#include "app/BootloaderApp.h"
#include "control/DetectionTexts.h"

void SessionRecorder::OnLogLine(const std::string& message, bool ok) {
    const std::string result = ok ? "ok" : "failed";
    calls.push_back("Log(" + message + "|" + result + ")");
    log.emplace_back(message, result);
}

void SessionRecorder::OnChanged(SessionChange change) {
    switch (change) {
        case SessionChange::Status: {
            const StatusView& view = session_->Status();
            if (view.text != status || statusTexts.empty()) statusTexts.push_back(view.text);
            status = view.text;
            lamp = static_cast<int>(view.lamp);
            barVisible = view.barVisible;
            break;
        }
        case SessionChange::Progress:
            barPosition = session_->Progress().position;
            break;
        case SessionChange::Commands:
            calls.push_back("Commands");
            break;
        case SessionChange::Device: {
            calls.push_back("Device");
            const CDeviceInfo& device = theApp().m_device;
            deviceName = session_->ShownDevice();
            for (const MemoryBlock& block : kMemoryBlocks) {
                if (!device.images[block.index].present) continue;
                ranges.at(block.index) = MemoryRangeText(device.images[block.index]);
                visible.at(block.index) = true;
            }
            break;
        }
        case SessionChange::Blocks:
            calls.push_back("Blocks");
            break;
        case SessionChange::BlockDone:
            calls.push_back("BlockDone");
            break;
        case SessionChange::Timer:
            timerRunning = session_->TimerWanted();
            break;
    }
}

BoxAnswer SessionRecorder::OnBox(const SessionBox& box) {
    calls.push_back("Box(" + box.caption + ")");
    boxes.push_back(
        ShownBox{box.kind, box.text, box.caption, box.icon, box.buttons, box.cause, lamp});
    if (box.buttons == BoxButtons::Ok) return BoxAnswer::Ok;
    if (answers.empty()) return BoxAnswer::No;
    const BoxAnswer answer = answers.front();
    answers.pop_front();
    return answer;
}
