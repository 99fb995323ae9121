// Apart from the pseudo-terminal helper: the kernel's termios2 clashes with <termios.h>.
#include <asm/termbits.h>
#include <sys/ioctl.h>

#include "tests/serial/PseudoTerminal.h"

namespace testsupport {

unsigned long KernelLineSpeed(int fd) {
    struct termios2 settings {};
    if (::ioctl(fd, TCGETS2, &settings) != 0) return 0;
    return settings.c_ospeed;
}

}  // namespace testsupport
