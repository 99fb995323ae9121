#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "control/ProgrammingWindow.h"
#include "image/HexLoader.h"
#include "protocol/EngineContext.h"
#include "protocol/Workers.h"

// The controller of the main window: load, write sequence, run, reconnect and detection.
// One sequencer for the Qt window, the command-line tool and the tests, each of which hands
// over the engine's state (the application object owns it).
class CProgrammingControl {
public:
    CProgrammingControl(IProgrammingWindow& window, const EngineContext& engine);
    ~CProgrammingControl();  // calls Shutdown()
    CProgrammingControl(const CProgrammingControl&) = delete;
    CProgrammingControl& operator=(const CProgrammingControl&) = delete;

    // Window state.
    int m_busy = 0;
    int m_portOpen = 1;
    int m_hexLoaded = 0;
    std::string m_hexPath;
    HexFileStatus m_hexStamp;
    HexLoadReport m_lastLoad;  // the outcome of the last load, open or reload
    int m_enableOpen = 1;
    int m_enableRun = 1;
    int m_enableReconnect = 1;
    int m_enableReload = 0;
    int m_enableWrite = 0;
    int m_blockIndex = -1;
    std::vector<int> m_failedBlocks;  // blocks of this write that failed, in write order
    WriteJob m_writeJob;

    // Port and detection settings beyond the application's COM number and baud rate.
    std::string m_devicePath;             // opened instead of COM<n> when not empty
    std::uint32_t m_detectionTicks = 44;  // timer ticks before the detection is stopped

    // Commands.
    void OnWriteCommand();
    void OnRunCommand();
    void OnReconnectCommand();
    void LoadHexFile();      // the load command for m_hexPath
    void OnReloadCommand();  // "Reloading" ok/failed, no enable change

    int SelectNextBlock();
    int ReopenPort();
    int StartDetection();

    // Handlers of the window's messages and of the detection timer.
    bool Dispatch(const WindowMessage& message);  // false when not one of 1025..1028
    void OnDetectionFinished(DetectionResult result);
    void OnRowWritten();
    void OnWriteFinished(std::intptr_t status);
    void OnBlockFinished();
    void OnDetectionTimer();

    // The window is going away: stops a detection, lets the row writer finish the row on
    // the line and end, and joins both workers. Messages still queued are then stale.
    void Shutdown();

    bool WorkerRunning() const;
    // A write's blocks are being sent (not a detection, not the end of a write).
    bool WriteRunning() const;
    // Lets the row writer finish the row on the line, sends nothing more, and ends the write
    // as failed with a log line that says how many rows of which block were written.
    void StopWriteAfterRow();
    // Stops a running detection after its current probe; the worker then reports -4.
    void RequestDetectionStop();

private:
    void RestoreIdleCommands();
    void LeaveOnlyReconnectEnabled();
    void SetWriterCommand(std::int32_t command);
    void ShowDeviceRanges();
    void FinishWrite(std::intptr_t status);

    IProgrammingWindow& window_;
    const EngineContext engine_;
    std::uint32_t detectionTicksElapsed_ = 0;
    std::atomic<bool> detectionAlive_{false};
    std::atomic<bool> rowWriterAlive_{false};
    WorkerThread detectionThread_;
    WorkerThread rowWriterThread_;
};
