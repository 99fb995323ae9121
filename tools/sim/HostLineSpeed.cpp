// Kept apart from PseudoTerminal.cpp: the kernel's termios2 header clashes with <termios.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include "tools/sim/PseudoTerminal.h"

namespace board {

unsigned long PseudoTerminal::HostLineSpeed() const {
    // Both sides share one set of line settings: the slave's are the host's.
    struct termios2 settings {};
    if (slave_ < 0 || ::ioctl(slave_, TCGETS2, &settings) != 0) return 0;
    return settings.c_ospeed;
}

}  // namespace board
