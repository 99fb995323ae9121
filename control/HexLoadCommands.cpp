#include "control/ProgrammingControl.h"

// Every load reads into images of its own and replaces the device's only when the whole file
// was sound, so a refused load leaves the last good images in place and nothing changes
// what a write would send.

void CProgrammingControl::LoadHexFile() {
    // The row writer and a detection's identification read the images: no load meanwhile.
    if (m_busy) return;
    m_busy = 1;
    window_.RefreshCursor();
    m_lastLoad = LoadHexImage(engine_.device, m_hexPath, m_hexStamp);
    ShowHexLoadBoxes(m_lastLoad, window_.MessageBoxes());
    m_busy = 0;
    window_.RefreshCursor();

    if (!m_lastLoad.Loaded()) {
        window_.AddLogLine("Load HEX file", "failed");
        m_enableWrite = 0;
        window_.UpdateControlStates();
        return;
    }
    m_hexLoaded = 1;
    window_.AddLogLine("Load HEX file", "ok");
    if (m_portOpen) {
        m_enableRun = 1;
        m_enableWrite = 1;
        m_enableReload = 1;
        window_.UpdateControlStates();
    }
    window_.UpdateBlockChecks();
}

void CProgrammingControl::OnReloadCommand() {
    if (m_busy || m_hexPath.empty()) return;
    m_lastLoad = LoadHexImage(engine_.device, m_hexPath, m_hexStamp);
    ShowHexLoadBoxes(m_lastLoad, window_.MessageBoxes());
    if (m_lastLoad.Loaded()) m_hexLoaded = 1;
    window_.AddLogLine("Reloading", m_lastLoad.Loaded() ? "ok" : "failed");
}
