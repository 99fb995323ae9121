#pragma once

// The exit statuses scripts rely on, pelorant-cli's and each board record's; their numbers never
// change.
enum ExitStatus : int {
    kExitOk = 0,
    kExitWriteFailed = 1,  // synchronism error, a failed block not passed over, run not sent
    kExitUsage = 2,
    kExitPortNotOpened = 3,
    kExitDetectionFailed = 4,
    kExitIdentificationFailed = 5,
    kExitHexNotLoaded = 6,
    kExitSignalBase = 128,  // stopped by a signal: 128 + its number (130 SIGINT, 143 SIGTERM)
};
