#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/OutputFile.h"

bool SameFile(const std::string& a, const std::string& b) {
    struct stat first {};
    struct stat second {};
    return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

FilePtr OpenOutputFile(const std::string& path, std::string& reason) {
    FilePtr none(nullptr, &std::fclose);
    // O_NONBLOCK: a FIFO without a reader would otherwise hold the open until one comes; the
    // system says ENXIO instead.
    const int fd =
        open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        reason =
            path + ": " + (errno == ENXIO ? "no program reads this FIFO" : std::strerror(errno));
        return none;
    }
    // Once open, a slow reader of a FIFO holds the writer back as any pipe does.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FilePtr file(fdopen(fd, "w"), &std::fclose);
    if (!file) {
        reason = path + ": " + std::strerror(errno);
        close(fd);
        return none;
    }
    return file;
}
