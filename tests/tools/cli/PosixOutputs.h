#pragma once

#include <poll.h>

#include <string>

// Waits up to `waitMs` for output on the two descriptors and appends what came to their sinks.
// A descriptor at its end (end of file, or the EIO of a terminal whose tool is gone) is closed
// and set to -1.
void ReadOutputs(pollfd (&fds)[2], std::string* const (&sinks)[2], int waitMs);
