#pragma once

#include <string>

#include "app/ComPorts.h"
#include "device/DeviceInfo.h"
#include "protocol/EngineContext.h"
#include "protocol/SerialLine.h"
#include "serial/CSerialPort.h"

class IStartupPages;

// The application state. The program's own instance is reached through theApp(); a write to
// several boards gives each board an instance of its own, so no two boards share an engine part.
class CBootloaderApp {
public:
    // The whole program: start-up, the wizard pages and the main window.
    // Always returns false (the process ends after it).
    bool InitInstance(IStartupPages& pages);

    // The parts of this object the engine acts on, handed to the workers and the control.
    EngineContext Engine();

    DetectionThreadParam m_detectionParam;
    std::string m_osName;
    unsigned char m_firmwareVersion[3] = {};
    char m_workingPath[261] = {};  // the "path" setting followed by one '/'
    CSerialPort m_serialPort;
    bootproto::SerialLine m_line{m_serialPort};  // the engine's exchanges over m_serialPort
    ComPortList m_ports;
    unsigned char m_deviceId[2] = {};
    int m_comNumber = 0;
    int m_baudRate = 0;
    // How page 1/3 chose to reset the board through the modem lines, as the setting "reset"
    // holds it ("none", "dtr", or another sequence pelorant-cli's --reset takes); empty: none.
    std::string m_reset;
    CDeviceInfo m_device;
    // Where start-up looks for the machine's serial ports (tests point it at a fake tree).
    PortEnvironment m_portEnvironment;
};

CBootloaderApp& theApp();
