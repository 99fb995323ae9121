#include "app/BootloaderApp.h"

// Built on first use, which is before start-up runs, so no other static object can see it
// half-made; destroyed at process end like every static object.
CBootloaderApp& theApp() {
    static CBootloaderApp app;
    return app;
}

EngineContext CBootloaderApp::Engine() {
    return EngineContext{m_serialPort,      m_line,           m_comNumber,
                         m_baudRate,        m_detectionParam, m_deviceId,
                         m_firmwareVersion, m_device,         m_workingPath};
}
