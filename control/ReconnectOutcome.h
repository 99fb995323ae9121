#pragma once

#include "control/DetectionRun.h"

// How far the last reconnect got. A front end that acts on it (the command-line tool's exit
// status) reads this instead of the boxes the reconnect showed.
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
