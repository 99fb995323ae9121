#include "control/ProgrammingControl.h"

void CProgrammingControl::LoadHexFile() {
    // The row writer and a detection's identification read the images: no load meanwhile.
    if (m_busy) return;
    m_busy = 1;
    window_.RefreshCursor();
    const int loaded = LoadHexImage(engine_.device, m_hexPath, m_hexStamp, window_.MessageBoxes());
    m_busy = 0;
    window_.RefreshCursor();

    if (!loaded) {
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
    const int loaded = LoadHexImage(engine_.device, m_hexPath, m_hexStamp, window_.MessageBoxes());
    if (loaded) m_hexLoaded = 1;
    window_.AddLogLine("Reloading", loaded ? "ok" : "failed");
}
