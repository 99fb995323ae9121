#include "app/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <stdexcept>
#include <utility>

namespace {

constexpr const char* kDefaultTmpRoot = "/tmp";

// An open descriptor of `path` when it is a directory (not a link to one) that belongs to the
// user and to nobody else; -1 otherwise. Later opens go through the descriptor, so the
// directory checked is the directory used.
int OpenPrivateDirectory(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat status {};
    if (::fstat(fd, &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::getuid() &&
        (status.st_mode & 077) == 0) {
        return fd;
    }
    ::close(fd);
    return -1;
}

std::pair<int, std::string> OpenLockDirectory(const std::string& tmpRoot) {
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/') {
        if (const int fd = OpenPrivateDirectory(runtime); fd >= 0) return {fd, runtime};
    }
    const std::string own = tmpRoot + "/pelorant-" + std::to_string(::getuid());
    if (::mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) return {-1, {}};
    const int fd = OpenPrivateDirectory(own);
    return {fd, fd >= 0 ? own : std::string()};
}

}  // namespace

std::string RuntimeLockDirectory(const std::string& tmpRoot) {
    auto [fd, path] = OpenLockDirectory(tmpRoot);
    if (fd >= 0) ::close(fd);
    return path;
}

std::unique_ptr<SingleInstanceGuard> SingleInstanceGuard::Acquire(const std::string& name) {
    if (name.empty() || name.find('/') != std::string::npos || name == "." || name == "..") {
        throw std::invalid_argument("the guard's name must be a plain file name");
    }
    int fd = -1;
    if (const int directory = OpenLockDirectory(kDefaultTmpRoot).first; directory >= 0) {
        fd = ::openat(directory, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
        ::close(directory);
    }
    if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool heldElsewhere = errno == EWOULDBLOCK;
        ::close(fd);
        if (heldElsewhere) return nullptr;
        fd = -1;
    }
    return std::unique_ptr<SingleInstanceGuard>(new SingleInstanceGuard(fd));
}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (token_ != -1) ::close(static_cast<int>(token_));
}
