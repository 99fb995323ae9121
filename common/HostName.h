#pragma once

#include <string>

// The name the system gives this machine, as a record of a write names its station; empty
// when it gives none. Each platform has its own file.
std::string HostName();
