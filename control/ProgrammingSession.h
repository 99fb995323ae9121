#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/WindowMessages.h"
#include "control/Clock.h"
#include "control/DetectionRun.h"
#include "control/LoadedImage.h"
#include "control/Progress.h"
#include "control/SerialNumber.h"
#include "control/SessionEvents.h"
#include "protocol/EngineContext.h"
#include "protocol/ResetSequence.h"
#include "protocol/Workers.h"

// One programming session on one board: load, write the chosen blocks, run, reconnect and its
// detection. Every front end (the main window, the command-line tool, the tests) calls these
// operations and renders what the observer hears; the session decides every rule. All calls
// come on one thread; the workers post their messages to `wake`, and the front end hands each
// back to Dispatch on that thread.
class ProgrammingSession {
public:
    ProgrammingSession(const EngineContext& engine, ISessionObserver& observer, MessageTarget& wake,
                       PortAtStart port = PortAtStart::Open, const IClock& clock = SteadyClock());
    ~ProgrammingSession();  // calls Shutdown()
    ProgrammingSession(const ProgrammingSession&) = delete;
    ProgrammingSession& operator=(const ProgrammingSession&) = delete;

    // Port and detection settings beyond the application's COM number and baud rate.
    void SetDevicePath(std::string path) { devicePath_ = std::move(path); }  // instead of COM<n>
    void SetDetectionLimit(std::uint32_t seconds) { detectionSeconds_ = seconds; }
    // Played on the modem lines by each detection right after its first probe; none: the
    // user resets the board.
    void SetResetSequence(std::optional<bootproto::ResetSequence> reset) {
        reset_ = std::move(reset);
    }

    // The catalogue every identification of this session looks its device up in, read once
    // by the caller; none: each identification reads the working path's catalogue file.
    void SetCatalogue(std::shared_ptr<const DeviceCatalogue> catalogue) {
        detection_.SetCatalogue(std::move(catalogue));
    }

    // Commands; each does nothing while Busy().
    void Write();
    void Run();
    void Reconnect();
    // The open command with the file the user chose: no write until it has loaded.
    void Open(const std::string& path);
    // Loads HexPath() again, as the open command does ("Load HEX file").
    void Load();
    // The reload command: "Reloading" ok/failed; the block choice follows the file.
    void Reload();
    // Loads from a file read beforehand, so that several sessions place the same bytes: the
    // path becomes HexPath().
    void LoadFrom(std::shared_ptr<const HexSource> source);
    // The user keeps the loaded image of a file that changed: that change is not asked about
    // again.
    void KeepLoadedImage(const HexFileStatus& seen) { hexStamp_ = seen; }

    // Gives the loaded image this board's own number: the rows holding it are planned and its
    // memory chosen. The landing says where it went, or why it cannot (nothing changes then,
    // nor while Busy() or before a load).
    SerialLanding PlaceSerialNumber(SerialPlace place, std::uint64_t number);

    // The user's choice of memories to write; only a memory the load filled can be chosen.
    void ChooseBlock(int block, bool chosen);

    // What the front end hands back: the workers' messages and its timer.
    bool Dispatch(const WindowMessage& message);  // false when not one of 1025..1028
    void OnTimer();

    // Stops a running write after the row on the line (it ends as Stopped), or a detection
    // after its current probe.
    void Stop();
    // The front end is going away: stops a detection, lets the row writer finish the row on
    // the line and end, and joins both workers. Messages still queued are then stale.
    void Shutdown();

    // What the session holds, read by the front end to render.
    bool Busy() const { return busy_; }
    bool PortOpen() const { return portOpen_; }
    bool HexLoaded() const { return hexLoaded_; }
    const StatusView& Status() const { return status_; }
    const ::Progress& Progress() const { return progress_; }
    const CommandStates& Commands() const { return commands_; }
    bool TimerWanted() const { return timerWanted_; }
    bool WriteRunning() const;  // a write's blocks are being sent
    bool WorkerRunning() const;
    int CurrentBlock() const { return block_; }           // -1 when no block is being written
    std::uint32_t RowsSent() const { return rowsSent_; }  // of the current block
    std::uint32_t SecondsWaited() const { return detection_.SecondsWaited(); }
    std::uint32_t DetectionLimit() const { return detectionSeconds_; }

    // The memories: offered when the load filled them, and chosen for the next write.
    bool BlockOffered(int block) const;
    bool BlockChosen(int block) const;
    // The device the session shows: set by the identification before it started (page 2/3),
    // then by each reconnect.
    const std::string& ShownDevice() const { return shownDevice_; }

    // The HEX file the load and reload commands read; empty before one was chosen.
    const std::string& HexPath() const { return hexPath_; }
    void SetHexPath(std::string path) { hexPath_ = std::move(path); }
    const HexFileStatus& HexStamp() const { return hexStamp_; }
    const HexLoadReport& LastLoad() const { return lastLoad_; }
    // The image the last successful load made; null before one.
    const std::shared_ptr<const LoadedImage>& Image() const { return image_; }

    // What the last operations came to.
    const WriteOutcome& LastWrite() const { return write_; }
    RunEnd LastRun() const { return run_; }
    const ReconnectOutcome& LastReconnect() const { return reconnect_; }

private:
    // Loading.
    bool Install(const LoadOutcome& outcome, bool keepChoice);
    void ShowLoadBoxes(const HexLoadReport& report);
    void ShowLoadStatus(bool loaded);
    // Writing.
    bool SelectNextBlock();
    void OnRowWritten();
    void OnBlockFinished();
    void OnWriteFinished(std::intptr_t status);
    void FinishWrite(WriteEnd end);
    BlockOutcome CurrentBlockOutcome() const;
    void SetWriterCommand(std::int32_t command);
    // Detecting.
    bool ReopenPort();
    bool StartDetection();
    void OnDetectionFinished(DetectionResult result);
    void ReloadAfterReconnect();
    // Rendering.
    void SetStatus(Lamp lamp, const std::string& text);
    void SetLamp(Lamp lamp);
    void SetStatusText(const std::string& text);
    void ShowProgressGroup(bool show);
    void ShowBar(bool show);
    void Changed(SessionChange change) { observer_.OnChanged(change); }
    void Log(const std::string& message, bool ok) { observer_.OnLogLine(message, ok); }
    BoxAnswer Box(BoxKind kind, const std::string& text, const std::string& caption,
                  BoxButtons buttons = BoxButtons::Ok, const std::string& cause = {},
                  BoxIcon icon = BoxIcon::Error);
    void SetBusy(bool busy);
    void SetTimerWanted(bool wanted);
    void RestoreIdleCommands();
    void LeaveOnlyReconnectEnabled();

    const EngineContext engine_;
    ISessionObserver& observer_;
    MessageTarget& wake_;
    bool busy_ = false;
    bool portOpen_ = true;
    bool hexLoaded_ = false;
    bool timerWanted_ = false;
    StatusView status_;
    ::Progress progress_;
    CommandStates commands_;
    std::string devicePath_;               // opened instead of COM<n> when not empty
    std::uint32_t detectionSeconds_ = 44;  // the detection's time limit
    std::optional<bootproto::ResetSequence> reset_;
    std::string shownDevice_;
    DetectionRun detection_;
    ReconnectOutcome reconnect_;
    std::string hexPath_;
    HexFileStatus hexStamp_;
    HexLoadReport lastLoad_;
    std::shared_ptr<const LoadedImage> image_;
    std::array<bool, kBlockCount> chosen_{};
    int block_ = -1;
    std::uint32_t rowsSent_ = 0;
    WriteOutcome write_;
    RunEnd run_ = RunEnd::None;
    WriteJob writeJob_;
    std::atomic<bool> rowWriterAlive_{false};
    WorkerThread rowWriterThread_;
};
