#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "common/PosixWriteAll.h"
#include "common/StateFile.h"

namespace {

std::string Failure(const std::string& path, const char* what) {
    return path + ": " + what + ": " + std::strerror(errno);
}

// The directory's own entry must reach the disk too, or a crash could bring the old name back.
void FlushDirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

std::unique_ptr<FileLock> FileLock::Take(const std::string& path, std::string& reason) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) {
        reason = Failure(path, "cannot open the lock file");
        return nullptr;
    }
    // flock belongs to this open file: a second thread's own open waits as another process does.
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno == EINTR) continue;
        reason = Failure(path, "cannot lock");
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<FileLock>(new FileLock(fd));
}

FileLock::~FileLock() {
    ::close(static_cast<int>(handle_));
}

bool ReadStateFile(const std::string& path, std::optional<std::string>& contents,
                   std::string& reason) {
    contents.reset();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        if (errno == ENOENT) return true;
        reason = Failure(path, "cannot open");
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        reason = path + " is not a regular file";
        ::close(fd);
        return false;
    }
    std::string text;
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            reason = Failure(path, "cannot read");
            ::close(fd);
            return false;
        }
        if (got == 0) break;
        text.append(chunk, static_cast<std::size_t>(got));
    }
    ::close(fd);
    contents = std::move(text);
    return true;
}

bool ReplaceStateFile(const std::string& path, const std::string& contents, std::string& reason) {
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        reason = Failure(temporary, "cannot make");
        return false;
    }
    // The new file keeps the mode of a file shared between stations: what umask allows.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    bool ok = ::fchmod(fd, 0666 & ~mask) == 0 && WriteAll(fd, contents.data(), contents.size()) &&
              ::fsync(fd) == 0;
    if (!ok) reason = Failure(temporary, "cannot write");
    if (::close(fd) != 0 && ok) {
        reason = Failure(temporary, "cannot write");
        ok = false;
    }
    if (ok && ::rename(temporary.c_str(), path.c_str()) != 0) {
        reason = Failure(path, "cannot replace");
        ok = false;
    }
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    FlushDirectoryOf(path);
    return true;
}
