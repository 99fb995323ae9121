#pragma once

// SIGINT and SIGTERM do not end the tool at once: the event loop sees them, a write stops
// after the row on the line and a detection after its probe, the port is released, and the
// tool exits with 128 + the signal's number.
void InstallStopSignals();
// The stop signal that arrived (SIGINT or SIGTERM), 0 when none did.
int StopSignal();
// "SIGINT" or "SIGTERM".
const char* StopSignalName(int signal);
