#pragma once

#include <string>
#include <vector>

// SIGINT and SIGTERM (and on POSIX SIGHUP and SIGPIPE) do not end the tool at once: the event
// loop sees them, a write stops after the row on the line and a detection after its probe, the
// port is released, and the tool exits with 128 + the signal's number.
void InstallStopSignals();
// The ports the command will hold, by their devices: a second SIGINT or SIGTERM gives them all
// up at once (what is queued discarded, port closed, lock removed) and ends the tool, for a
// board that takes no more bytes holds the row on the line for seconds.
void NoteStopPorts(const std::vector<std::string>& devicePaths);
// From now on SIGINT stops no write or detection: the batch on the line ends as it would, and
// the caller sees it in ArrivedStopSignal(). A second SIGINT still gives every port up at once.
void LetInterruptEndTheBatch();
// The stop signal that arrived first and stops what runs, 0 when none did.
int StopSignal();
// The stop signal that arrived first, a SIGINT that only ends the batch included.
int ArrivedStopSignal();
// "SIGINT", "SIGTERM", "SIGHUP" or "SIGPIPE".
const char* StopSignalName(int signal);
