#include "control/ProgrammingControl.h"

// Every load reads into images of its own and replaces the device's only when the whole file
// was sound, so a refused load leaves the last good images in place and nothing changes
// what a write would send.

void CProgrammingControl::LoadHexFile() {
    // The row writer and a detection's identification read the images: no load meanwhile.
    if (busy_) return;
    busy_ = true;
    window_.RefreshCursor();
    lastLoad_ = LoadHexImage(engine_.device, hexPath_, hexStamp_);
    ShowHexLoadBoxes(lastLoad_, window_.MessageBoxes());
    busy_ = false;
    window_.RefreshCursor();

    if (!lastLoad_.Loaded()) {
        window_.AddLogLine("Load HEX file", "failed");
        commands_.write = false;
        window_.UpdateControlStates();
        return;
    }
    hexLoaded_ = true;
    window_.AddLogLine("Load HEX file", "ok");
    if (portOpen_) {
        commands_.run = true;
        commands_.write = true;
        commands_.reload = true;
        window_.UpdateControlStates();
    }
    window_.UpdateBlockChecks();
}

void CProgrammingControl::OpenHexFile(const std::string& path) {
    if (busy_) return;
    hexPath_ = path;
    commands_.write = false;
    window_.UpdateControlStates();
    LoadHexFile();
}

void CProgrammingControl::OnReloadCommand() {
    if (busy_ || hexPath_.empty()) return;
    lastLoad_ = LoadHexImage(engine_.device, hexPath_, hexStamp_);
    ShowHexLoadBoxes(lastLoad_, window_.MessageBoxes());
    if (lastLoad_.Loaded()) hexLoaded_ = true;
    window_.AddLogLine("Reloading", lastLoad_.Loaded() ? "ok" : "failed");
}
