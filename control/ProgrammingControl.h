#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "control/CommandStates.h"
#include "control/DetectionRun.h"
#include "control/ProgrammingWindow.h"
#include "control/ReconnectOutcome.h"
#include "image/HexLoader.h"
#include "protocol/EngineContext.h"
#include "protocol/Workers.h"

// The controller of the main window: load, write sequence, run, reconnect and detection.
// One sequencer for the Qt window, the command-line tool and the tests, each of which hands
// over the engine's state (the application object owns it).
class CProgrammingControl {
public:
    // The Qt window starts on the port the start-up pages opened; the command-line tool and
    // the tests start with it closed, when only the reconnect leads on.
    CProgrammingControl(IProgrammingWindow& window, const EngineContext& engine,
                        PortAtStart port = PortAtStart::Open);
    ~CProgrammingControl();  // calls Shutdown()
    CProgrammingControl(const CProgrammingControl&) = delete;
    CProgrammingControl& operator=(const CProgrammingControl&) = delete;

    // What the control is doing and holds, read by the window to render.
    bool Busy() const { return busy_; }  // a write, a detection or a load runs: commands wait
    bool PortOpen() const { return portOpen_; }
    bool HexLoaded() const { return hexLoaded_; }
    // How far the last reconnect got, and what its detection came to.
    const ReconnectOutcome& LastReconnect() const { return reconnect_; }

    // The HEX file the load and reload commands read; empty before one was chosen.
    const std::string& HexPath() const { return hexPath_; }
    void SetHexPath(std::string path) { hexPath_ = std::move(path); }
    // The file's status when it was last loaded, or when the user kept the loaded image.
    const HexFileStatus& HexStamp() const { return hexStamp_; }
    // The outcome of the last load, open or reload.
    const HexLoadReport& LastLoad() const { return lastLoad_; }
    // The blocks of this write that failed, in write order.
    const std::vector<int>& FailedBlocks() const { return failedBlocks_; }
    // The row writer's job, for a front end that reports a write's rows and refusals.
    const WriteJob& Job() const { return writeJob_; }

    // The commands the window offers, for it to render; only the control changes them.
    const CommandStates& Commands() const { return commands_; }
    // The block being written (kBlockCode … kBlockConfig); -1 when none is.
    int CurrentBlock() const { return block_; }

    // Port and detection settings beyond the application's COM number and baud rate.
    void SetDevicePath(std::string path) { devicePath_ = std::move(path); }  // instead of COM<n>
    void SetDetectionLimit(std::uint32_t ticks) { detectionTicks_ = ticks; }

    // Commands.
    void OnWriteCommand();
    void OnRunCommand();
    void OnReconnectCommand();
    void LoadHexFile();  // the load command for HexPath()
    // The open command with the file the user chose: no write until it has loaded.
    void OpenHexFile(const std::string& path);
    void OnReloadCommand();  // "Reloading" ok/failed, no enable change
    // The user keeps the loaded image of a file that changed: that change is not asked about
    // again.
    void KeepLoadedImage(const HexFileStatus& seen) { hexStamp_ = seen; }

    int SelectNextBlock();

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
    bool ReopenPort();
    bool StartDetection();
    void FinishWrite(std::intptr_t status);

    IProgrammingWindow& window_;
    const EngineContext engine_;
    bool busy_ = false;
    bool portOpen_ = true;
    bool hexLoaded_ = false;
    CommandStates commands_;
    int block_ = -1;
    Progress progress_;
    std::string devicePath_;             // opened instead of COM<n> when not empty
    std::uint32_t detectionTicks_ = 44;  // timer ticks before the detection is stopped
    // The device the window shows: the one identified before the control started (page 2/3),
    // then the last one a reconnect identified.
    std::string shownDevice_;
    DetectionRun detection_;
    ReconnectOutcome reconnect_;
    std::string hexPath_;
    HexFileStatus hexStamp_;
    HexLoadReport lastLoad_;
    std::vector<int> failedBlocks_;
    WriteJob writeJob_;
    std::atomic<bool> rowWriterAlive_{false};
    WorkerThread rowWriterThread_;
};
