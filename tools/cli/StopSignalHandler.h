#pragma once

// The handler each platform's InstallStopSignals() installs: it keeps the first stop signal.
extern "C" void RememberStopSignal(int signal);
