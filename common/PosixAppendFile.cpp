#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/AppendFile.h"
#include "common/PosixWriteAll.h"

std::unique_ptr<AppendFile> AppendFile::Open(const std::string& path, std::string& reason) {
    // O_NONBLOCK: a FIFO without a reader would otherwise hold the open until one comes.
    const int fd =
        open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    if (fd < 0) {
        reason = errno == EISDIR  ? path + " is a directory"
                 : errno == ENXIO ? path + ": no program reads this FIFO"
                                  : path + ": " + std::strerror(errno);
        return nullptr;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = path + " is not a regular file";
        close(fd);
        return nullptr;
    }
    return std::unique_ptr<AppendFile>(new AppendFile(fd, path));
}

AppendFile::~AppendFile() {
    close(static_cast<int>(handle_));
}

bool AppendFile::Append(const std::string& text, std::string& reason) {
    const int fd = static_cast<int>(handle_);
    if (!WriteAll(fd, text.data(), text.size())) {
        reason = path_ + ": " + std::strerror(errno);
        return false;
    }
    if (fsync(fd) != 0) {
        reason = path_ + ": " + std::strerror(errno);
        return false;
    }
    return true;
}
