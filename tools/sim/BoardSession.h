#pragma once

#include "tools/sim/WinePrefix.h"

namespace boardhost {

// Serves one connection of pelorant-board-host: starts the board the program asks for,
// maps it into the Wine prefix, answers the program's requests, and stops the board when
// the connection closes. The socket is the caller's to close.
void ServeBoardSession(int socket, const WinePrefix& prefix);

}  // namespace boardhost
