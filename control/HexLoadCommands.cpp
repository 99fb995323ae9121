#include "control/ProgrammingControl.h"

// Every load reads into images of its own and replaces the device's only when the whole file
// was sound, so a refused load leaves the last good images in place and nothing changes
// what a write would send.

void CProgrammingControl::LoadHexFile() {
    // The row writer and a detection's identification read the images: no load meanwhile.
    if (busy_) return;
    busy_ = true;
    window_.RefreshCursor();
    m_lastLoad = LoadHexImage(engine_.device, m_hexPath, m_hexStamp);
    ShowHexLoadBoxes(m_lastLoad, window_.MessageBoxes());
    busy_ = false;
    window_.RefreshCursor();

    if (!m_lastLoad.Loaded()) {
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
    m_hexPath = path;
    commands_.write = false;
    window_.UpdateControlStates();
    LoadHexFile();
}

void CProgrammingControl::OnReloadCommand() {
    if (busy_ || m_hexPath.empty()) return;
    m_lastLoad = LoadHexImage(engine_.device, m_hexPath, m_hexStamp);
    ShowHexLoadBoxes(m_lastLoad, window_.MessageBoxes());
    if (m_lastLoad.Loaded()) hexLoaded_ = true;
    window_.AddLogLine("Reloading", m_lastLoad.Loaded() ? "ok" : "failed");
}
