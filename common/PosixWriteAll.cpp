#include "common/PosixWriteAll.h"

#include <unistd.h>

#include <cerrno>

bool WriteAll(int fd, const char* data, std::size_t size) {
    std::size_t done = 0;
    while (done < size) {
        const ssize_t written = ::write(fd, data + done, size - done);
        if (written < 0 && errno == EINTR) continue;
        if (written == 0) errno = ENOSPC;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}
