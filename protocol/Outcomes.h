#pragma once

#include <cstdint>

#include "catalogue/Catalogue.h"
#include "common/ResultCode.h"

// The workers' result families. Each keeps the numbers the windows post and show ("Error
// code : -4"), but as its own type: a detection that was stopped (-4) can no longer be taken
// for an identification whose firmware request failed (-4). Code() gives the number.

// The detection worker's result, posted as the wParam of WM_USER+1.
enum class DetectionResult : int {
    Synchronised = 0,
    Timeout = -1,
    WriteError = -2,
    Stopped = -4,
    // The port went away (unplugged adapter, hung-up line): nothing more can be sent or read.
    PortLost = -5,
    // The reset sequence could not be played: the port's LastFailure() says why.
    ResetFailed = -6,
    // The identification request came back as it was sent: the adapter or a loop-back plug
    // echoes the host's bytes, and the probe's echo was taken for the board's answer.
    AdapterEcho = -7,
};

// IdentifyDevice's result: identified, the catalogue lookup's refusal (its own numbers), or
// the firmware version request's failure.
enum class IdentifyResult : int {
    Identified = 1,
    NoBootloader = Code(CatalogueLookup::NoBootloader),
    ProtectedMissing = Code(CatalogueLookup::ProtectedMissing),
    FirmwareFailed = -4,
    DeviceNotFound = Code(CatalogueLookup::DeviceNotFound),
    CatalogueUnreadable = Code(CatalogueLookup::Unreadable),
    ProtectedNotOnRows = Code(CatalogueLookup::ProtectedNotOnRows),
    ProtectedOutside = Code(CatalogueLookup::ProtectedOutside),
    PortLost = -10,  // the port went away during the firmware version request
};

// A refused lookup as the identification's result: the same number.
constexpr IdentifyResult IdentifyRefusal(CatalogueLookup refusal) {
    return static_cast<IdentifyResult>(Code(refusal));
}

// The row writer's result for one block.
enum class BlockResult : std::int32_t {
    Ok = 0,
    FrameNotWritten = 1,
    NoAck = 2,
    BadAck = 3,
    RowSizeInvalid = 4,  // rows that cannot be framed: nothing sent
    // A byte no exchange asked for came in before a frame or right after an acknowledgement:
    // the acknowledgement just read cannot be trusted, so that row counts as failed.
    StrayInput = 5,
    PortLost = 6,  // the port went away mid-block
};
