#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "common/MessageBox.h"
#include "control/DetectionRun.h"
#include "control/Progress.h"
#include "protocol/Outcomes.h"

// What a programming session tells its front end, and what its operations came to. A front
// end renders these; it decides nothing that the session decides.

enum class Lamp : int { Red = 0, Grey = 1, Green = 2 };

// The status group: lamp, status text and progress bar.
struct StatusView {
    Lamp lamp = Lamp::Green;
    std::string text = "ready";
    bool lampVisible = true;
    bool textVisible = true;
    bool barVisible = false;
};

// The commands a front end offers: open, run, reconnect, reload and write.
struct CommandStates {
    bool open = true;
    bool run = true;
    bool reconnect = true;
    bool reload = false;
    bool write = false;
};

// Whether the session's port is open when it starts: the wizard's page 1/3 opened it; the
// command-line tool and the tests start with it closed, when only the reconnect leads on.
enum class PortAtStart { Open, Closed };

// Which of the session's state a change touched.
enum class SessionChange {
    Status,     // Status()
    Progress,   // Progress(), and a write's RowsSent() or a detection's SecondsWaited()
    Commands,   // Commands() and Busy()
    Device,     // the identified device: its name, ranges and firmware version
    Blocks,     // which memories are offered and chosen
    BlockDone,  // a block of the write ended: LastWrite().blocks.back()
    Timer,      // TimerWanted(): the front end calls OnTimer() about once a second meanwhile
};

// Why a box is shown, so that a front end can answer or follow it without reading its text.
enum class BoxKind {
    Load,                  // a load's refusal or warning
    NoBlocks,              // "no memory blocks selected!"
    WriteNotStarted,       // "Unable to start write process"
    BlockFailed,           // "Proceed anyway?": Yes writes the remaining blocks
    PortNotOpened,         // the port did not open at the reconnect
    DetectionNotStarted,   // "Unable to start dsPIC detection process"
    IdentificationFailed,  // the catalogue or the board refused the identification
};

struct SessionBox {
    BoxKind kind = BoxKind::Load;
    std::string text;
    std::string caption;
    BoxIcon icon = BoxIcon::Error;
    BoxButtons buttons = BoxButtons::Ok;
    // What the box's text leaves out, in the user's terms; empty when it says it all.
    std::string cause;
};

class ISessionObserver {
public:
    virtual ~ISessionObserver() = default;
    // Every step's line: its message and whether it went well.
    virtual void OnLogLine(const std::string& message, bool ok) = 0;
    virtual void OnChanged(SessionChange change) = 0;
    // A box for the user; for a question, the user's answer.
    virtual BoxAnswer OnBox(const SessionBox& box) = 0;
};

// One block of a write.
struct BlockOutcome {
    int block = 0;
    BlockResult result = BlockResult::Ok;
    std::uint32_t rowsPlanned = 0;
    std::uint32_t rowsAcknowledged = 0;
    std::optional<std::uint32_t> failedRow;  // the row whose acknowledgement failed
    std::optional<std::uint8_t> refusal;     // the byte the board answered it with
    bool passedOver = false;                 // failed, and the user went on
    // A failure in the user's terms, the block named first ("program flash: ..."), as the
    // block's box adds it; empty when the block was written.
    std::string cause;
};

enum class WriteEnd {
    None,        // no write yet
    SyncFailed,  // the board did not answer the synchronism check
    PortLost,    // the port went away during the synchronism check
    NoBlocks,    // nothing chosen that the file fills
    NotStarted,  // the row writer could not be started
    Completed,   // every chosen block written
    Failed,      // a block failed: see the blocks
    Stopped,     // stopped after the row on the line
};

struct WriteOutcome {
    WriteEnd end = WriteEnd::None;
    std::vector<BlockOutcome> blocks;  // in write order, as far as the write got
    std::uint32_t rowsAcknowledged = 0;

    bool Succeeded() const { return end == WriteEnd::Completed; }
};

enum class RunEnd {
    None,        // no run yet
    SyncFailed,  // "Checking synchronism" failed
    NotSent,     // "Sending user program command" failed
    PortLost,    // the port went away during either step
    Running,     // the run byte went out; the port is closed
};

// How far the last reconnect got.
enum class ReconnectStage {
    None,           // no reconnect yet
    PortNotOpened,  // the port did not open ("configuring process failed")
    NotStarted,     // the detection worker could not be created
    Detecting,      // the detection runs
    Finished,       // the detection reported: see its outcome
};

struct ReconnectOutcome {
    ReconnectStage stage = ReconnectStage::None;
    DetectionOutcome detection;  // what the detection came to, once Finished
};
