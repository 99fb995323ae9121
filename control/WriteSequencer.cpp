#include <cstdio>
#include <string>

#include "control/ProgrammingControl.h"
#include "protocol/Exchanges.h"

namespace {

struct BlockTexts {
    const char* start;
    const char* finish;
};

constexpr BlockTexts kBlockTexts[3] = {
    {"flash programming started", "flash write finished"},
    {"eeprom programming started", "eeprom write finished"},
    {"config programming started", "config write finished"},
};

// The block check boxes' names, for the line that says where a stopped write ended.
constexpr const char* kBlockNames[3] = {"program flash", "data EEPROM", "configuration"};

constexpr std::int32_t kWriteBlock = 0;
constexpr std::int32_t kEndWriter = 2;
constexpr std::intptr_t kWriteSucceeded = 0;
constexpr std::intptr_t kWriteFailed = -1;

}  // namespace

void CProgrammingControl::OnWriteCommand() {
    if (busy_) return;
    // A writer told to end polls its command once more before it goes; it must be gone
    // before the job is filled again, or it would take this write's command as its own.
    rowWriterThread_.Join();

    if (!bootproto::CheckSynchronism(engine_.port, engine_.trace)) {
        window_.SetStatusLamp(kLampRed);
        window_.SetStatusText("synchronization error");
        window_.AddLogLine("Checking synchronism", "failed");
        LeaveOnlyReconnectEnabled();
        return;
    }

    busy_ = true;
    window_.RefreshCursor();
    commands_.open = false;
    commands_.run = false;
    commands_.reload = false;
    commands_.reconnect = false;
    window_.UpdateControlStates();

    block_ = -1;
    failedBlocks_.clear();
    writeJob_.port = &engine_.port;
    writeJob_.bootStart = engine_.device.bootStart;
    writeJob_.bootEnd = engine_.device.bootEnd;
    writeJob_.notifyWindow = &window_.Target();
    writeJob_.abandon = false;
    writeJob_.rowsAcknowledgedInWrite = 0;
    writeJob_.trace = engine_.trace;
    SetWriterCommand(kWriteBlock);

    if (!SelectNextBlock()) {
        window_.MessageBoxes().Show("no memory blocks selected!", "write error", BoxIcon::Error,
                                    BoxButtons::Ok);
        RestoreIdleCommands();
        window_.SetStatusLamp(kLampRed);
        window_.SetStatusText("write error");
        window_.AddLogLine("write process started", "failed");
        busy_ = false;
        window_.RefreshCursor();
        return;
    }

    window_.ShowProgressGroup(true);
    window_.SetStatusLamp(kLampGrey);

    rowWriterAlive_ = true;
    const bool started = rowWriterThread_.Start([this] {
        RowWriterThread(&writeJob_);
        rowWriterAlive_ = false;
    });
    if (!started) {
        rowWriterAlive_ = false;
        window_.MessageBoxes().Show("Unable to start write process", "write failed", BoxIcon::Error,
                                    BoxButtons::Ok);
        window_.SetStatusLamp(kLampRed);
        RestoreIdleCommands();
        window_.AddLogLine("write process started", "failed");
        busy_ = false;
        window_.RefreshCursor();
        return;
    }
    window_.ShowProgressGroup(true);
    window_.AddLogLine("write process started", "ok");
}

int CProgrammingControl::SelectNextBlock() {
    ++block_;
    while (block_ < 3 && !(window_.BlockCheckVisible(block_) && window_.BlockChecked(block_))) {
        ++block_;
    }
    if (block_ >= 3) return 0;

    CMemoryImage& image = engine_.device.images[block_];
    writeJob_.image = &image;
    writeJob_.rowUnits = 2 * image.instructionsPerRow;
    const std::uint32_t first = image.FirstUsedAddress();
    const std::uint32_t last = image.LastUsedAddress();

    window_.SetStatusText(kBlockTexts[block_].start);
    progress_.SetRange(first, last);
    progress_.SetPosition(first);
    progress_.step = static_cast<std::uint32_t>(writeJob_.rowUnits);
    window_.ShowProgress(progress_);
    return 1;
}

void CProgrammingControl::OnRowWritten() {
    if (!rowWriterThread_.Joinable()) return;
    progress_.Step();
    window_.ShowProgress(progress_);
}

void CProgrammingControl::OnBlockFinished() {
    if (!rowWriterThread_.Joinable() || block_ < 0 || block_ > 2) return;
    const std::string text = kBlockTexts[block_].finish;
    const BlockResult result = writeJob_.result;

    if (result != BlockResult::Ok) {
        failedBlocks_.push_back(block_);
        window_.AddLogLine(text, "failed");
        window_.SetStatusLamp(kLampGrey);
        char question[128];
        std::snprintf(question, sizeof question,
                      "Error code: %d\nWrite process of this block, not completed.\nProceed "
                      "anyway?",
                      Code(result));
        const BoxAnswer answer =
            window_.MessageBoxes().Show(question, "write error", BoxIcon::Error, BoxButtons::YesNo);
        if (answer != BoxAnswer::Yes) {
            SetWriterCommand(kEndWriter);
            window_.Target().Post(kMsgWriteFinished, kWriteFailed, 0);
            return;
        }
    } else {
        window_.AddLogLine(text, "ok");
    }

    if (SelectNextBlock()) {
        SetWriterCommand(kWriteBlock);
    } else {
        SetWriterCommand(kEndWriter);
        // A block passed over with "Proceed anyway?" is still not on the chip: the write
        // as a whole failed.
        window_.Target().Post(kMsgWriteFinished,
                              failedBlocks_.empty() ? kWriteSucceeded : kWriteFailed, 0);
    }
}

bool CProgrammingControl::WriteRunning() const {
    return busy_ && rowWriterThread_.Joinable() && block_ >= kBlockCode && block_ <= kBlockConfig;
}

void CProgrammingControl::StopWriteAfterRow() {
    if (!WriteRunning()) return;
    // The writer finishes the row on the line, sends no further row and ends; what it
    // posted meanwhile is stale once it has been joined.
    writeJob_.abandon = true;
    SetWriterCommand(kEndWriter);
    rowWriterThread_.Join();
    window_.AddLogLine("write stopped: " + std::to_string(writeJob_.rowsAcknowledged.load()) +
                           " rows of " + kBlockNames[block_] + " written",
                       "failed");
    FinishWrite(kWriteFailed);
}

void CProgrammingControl::OnWriteFinished(std::intptr_t status) {
    if (!rowWriterThread_.Joinable() || !busy_) return;
    FinishWrite(status);
}

void CProgrammingControl::FinishWrite(std::intptr_t status) {
    RestoreIdleCommands();
    window_.ShowProgressBar(false);
    if (status == kWriteSucceeded) {
        window_.AddLogLine("dsPIC write process completed", "ok");
        window_.SetStatusLamp(kLampGreen);
        window_.SetStatusText("write completed");
    } else {
        window_.AddLogLine("dsPIC write process completed", "failed");
        window_.SetStatusLamp(kLampRed);
        window_.SetStatusText("failed");
    }
    busy_ = false;
    window_.RefreshCursor();
}

void CProgrammingControl::OnRunCommand() {
    if (busy_ || !portOpen_) return;

    const char* step = "Checking synchronism";
    bool sent = bootproto::CheckSynchronism(engine_.port, engine_.trace);
    if (sent) {
        step = "Sending user program command";
        sent = bootproto::SendRunUserProgram(engine_.port, engine_.trace);
    }

    if (sent) {
        window_.SetStatusLamp(kLampGreen);
        window_.SetStatusText("running program...");
        window_.AddLogLine("Running program", "ok");
        portOpen_ = false;
        engine_.port.CleanPort();
        engine_.port.ClosePort();
    } else {
        window_.SetStatusLamp(kLampRed);
        window_.SetStatusText("running failed");
        window_.AddLogLine(step, "failed");
        commands_.reconnect = true;
    }
    commands_.reload = false;
    commands_.open = false;
    commands_.write = false;
    commands_.run = false;
    window_.UpdateControlStates();
}
