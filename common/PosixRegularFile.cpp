#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/RegularFile.h"

namespace {

FileStamp StampOf(const struct stat& info) {
    return {static_cast<std::int64_t>(info.st_size), static_cast<std::int64_t>(info.st_mtime)};
}

}  // namespace

bool ReadFileStamp(const std::string& path, FileStamp& stamp) {
    struct stat info {};
    if (path.empty() || stat(path.c_str(), &info) != 0) return false;
    stamp = StampOf(info);
    return true;
}

FilePtr OpenRegularFile(const std::string& path, FileStamp& stamp, std::string& reason) {
    FilePtr none(nullptr, &std::fclose);
    // O_NONBLOCK: a FIFO without a writer would otherwise hold the open until one comes.
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        reason = path + ": " + std::strerror(errno);
        return none;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = path + " is not a regular file";
        close(fd);
        return none;
    }
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FilePtr file(fdopen(fd, "rb"), &std::fclose);
    if (!file) {
        reason = path + ": " + std::strerror(errno);
        close(fd);
        return none;
    }
    stamp = StampOf(info);
    return file;
}
