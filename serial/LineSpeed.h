#pragma once

// Line speed in bit/s, any rate the driver accepts (not only the standard ones). Kept apart
// because the kernel's termios2 header clashes with <termios.h>.
namespace lunvik::posix {

bool SetLineSpeed(int fd, unsigned long baud);
bool GetLineSpeed(int fd, unsigned long& baud);

}  // namespace lunvik::posix
