#include "serial/LineSpeed.h"

#include <asm/termbits.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <limits>

namespace lunvik::posix {

bool SetLineSpeed(int fd, unsigned long baud) {
    if (baud == 0 || baud > std::numeric_limits<speed_t>::max()) {
        errno = EINVAL;
        return false;
    }
    struct termios2 settings {};
    if (::ioctl(fd, TCGETS2, &settings) != 0) return false;
    settings.c_cflag &= ~(CBAUD | (CBAUD << IBSHIFT));
    settings.c_cflag |= BOTHER | (BOTHER << IBSHIFT);
    settings.c_ispeed = static_cast<speed_t>(baud);
    settings.c_ospeed = static_cast<speed_t>(baud);
    return ::ioctl(fd, TCSETS2, &settings) == 0;
}

bool GetLineSpeed(int fd, unsigned long& baud) {
    struct termios2 settings {};
    if (::ioctl(fd, TCGETS2, &settings) != 0) return false;
    baud = settings.c_ospeed;
    return true;
}

}  // namespace lunvik::posix
