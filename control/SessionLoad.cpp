#include "control/ProgrammingSession.h"

// Every load reads into images of its own and replaces the device's only when the whole file
// was sound, so a refused load leaves the last good images in place and nothing changes
// what a write would send.

namespace {

constexpr const char* kLoadFailedStatus = "load failed";

// The load's boxes, as the session's own.
class LoadBoxes : public IMessageBox {
public:
    explicit LoadBoxes(ISessionObserver& observer) : observer_(observer) {}

    BoxAnswer Show(const std::string& text, const std::string& caption, BoxIcon icon,
                   BoxButtons buttons) override {
        return observer_.OnBox(SessionBox{BoxKind::Load, text, caption, icon, buttons, {}});
    }

private:
    ISessionObserver& observer_;
};

}  // namespace

void ProgrammingSession::ShowLoadBoxes(const HexLoadReport& report) {
    LoadBoxes boxes(observer_);
    ShowHexLoadBoxes(report, boxes);
}

// A refused file leaves the last good image loaded, but the status must not keep praising
// what came before; a later good load puts back the state of the connection.
void ProgrammingSession::ShowLoadStatus(bool loaded) {
    if (!loaded) {
        SetStatus(Lamp::Red, kLoadFailedStatus);
    } else if (status_.text == kLoadFailedStatus) {
        SetStatus(portOpen_ ? Lamp::Green : Lamp::Red, portOpen_ ? "ready" : "not connected");
    }
}

bool ProgrammingSession::Install(const LoadOutcome& outcome, bool keepChoice) {
    lastLoad_ = outcome.report;
    if (!outcome.image) return false;
    const std::array<bool, kBlockCount> before = chosen_;
    const bool sameFile = image_ && image_->Path() == outcome.image->Path();
    image_ = outcome.image;
    image_->InstallInto(engine_.device);
    hexLoaded_ = true;
    for (const MemoryBlock& block : kMemoryBlocks) {
        const auto k = static_cast<std::size_t>(block.index);
        const BlockPlan& plan = image_->Plan(block.index);
        chosen_[k] = keepChoice && sameFile ? before[k] && plan.filled : plan.writtenByDefault;
    }
    return true;
}

void ProgrammingSession::Load() {
    LoadFrom(ReadHexSource(hexPath_));
}

void ProgrammingSession::LoadFrom(std::shared_ptr<const HexSource> source) {
    // The row writer and a detection's identification read the images: no load meanwhile.
    if (busy_) return;
    hexPath_ = source->file.path;
    if (source->file.status.valid) hexStamp_ = source->file.status;
    SetBusy(true);
    const LoadOutcome outcome = LoadImage(std::move(source), engine_.device);
    ShowLoadBoxes(outcome.report);
    SetBusy(false);

    if (!Install(outcome, false)) {
        Log("Load HEX file", false);
        ShowLoadStatus(false);
        commands_.write = false;
        Changed(SessionChange::Commands);
        return;
    }
    Log("Load HEX file", true);
    ShowLoadStatus(true);
    if (portOpen_) {
        commands_.run = true;
        commands_.write = true;
        commands_.reload = true;
        Changed(SessionChange::Commands);
    }
    Changed(SessionChange::Blocks);
}

void ProgrammingSession::Open(const std::string& path) {
    if (busy_) return;
    hexPath_ = path;
    commands_.write = false;
    Changed(SessionChange::Commands);
    Load();
}

void ProgrammingSession::Reload() {
    if (busy_ || hexPath_.empty()) return;
    const std::shared_ptr<const HexSource> source = ReadHexSource(hexPath_);
    if (source->file.status.valid) hexStamp_ = source->file.status;
    const LoadOutcome outcome = LoadImage(source, engine_.device);
    ShowLoadBoxes(outcome.report);
    const bool loaded = Install(outcome, false);
    Log("Reloading", loaded);
    ShowLoadStatus(loaded);
    if (loaded) Changed(SessionChange::Blocks);
}

// The same file for the device identified again: the user's choice of memories stays.
void ProgrammingSession::ReloadAfterReconnect() {
    const std::shared_ptr<const HexSource> source = ReadHexSource(hexPath_);
    if (source->file.status.valid) hexStamp_ = source->file.status;
    const LoadOutcome outcome = LoadImage(source, engine_.device);
    ShowLoadBoxes(outcome.report);
    if (Install(outcome, true)) {
        Changed(SessionChange::Blocks);
        commands_.write = true;
        commands_.reload = true;
    } else {
        commands_.write = false;
    }
}

SerialLanding ProgrammingSession::PlaceSerialNumber(SerialPlace place, std::uint64_t number) {
    SerialLanding refused;
    if (busy_ || !image_) {
        refused.refusal = kNoImageForSerialNumber;
        return refused;
    }
    SerialStamp stamp = StampSerialNumber(*image_, place, number);
    if (!stamp.image) return stamp.landing;
    image_ = std::move(stamp.image);
    image_->InstallInto(engine_.device);
    chosen_[static_cast<std::size_t>(stamp.landing.block)] = true;
    Changed(SessionChange::Blocks);
    return stamp.landing;
}
