#include "serial/PortLock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>

namespace lunvik {
namespace {

constexpr const char* kLockPrefix = "LCK..";

std::mutex registryLock;

// What AbandonEveryPort() may read from a signal handler: fixed arrays, filled before.
constexpr std::size_t kMostNotedLocks = 64;
char notedLocks[kMostNotedLocks][PATH_MAX];
std::atomic<std::size_t> notedLockCount{0};
std::atomic<int> descriptorLimit{1024};
std::map<int, std::string>& Registry() {
    static std::map<int, std::string> locks;  // descriptor -> lock file it took
    return locks;
}

bool IsDirectory(const char* path) {
    struct stat info {};
    return ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

// What sits at a lock's name. A lock holds a pid of ten digits and a newline; anything much
// longer is no lock, and is not read further.
constexpr std::size_t kLongestLock = 64;

struct LockContent {
    enum class Kind { Absent, Lock, NotALockFile };
    Kind kind = Kind::Absent;
    long pid = 0;  // Lock: the owner's pid, 0 when it cannot be read
};

// The owner's pid: ASCII (the usual form), or a 4-byte binary int from old programs.
long ParseLockPid(const std::string& content) {
    if (content.size() == 4 && content.find('\n') == std::string::npos) {
        int binary = 0;
        content.copy(reinterpret_cast<char*>(&binary), 4);
        return binary;
    }
    char* end = nullptr;
    const long pid = std::strtol(content.c_str(), &end, 10);
    return end != content.c_str() ? pid : 0;
}

// Reads the lock at `lockPath` without following a link, without waiting for a FIFO's writer
// and without reading more than a lock can hold.
LockContent ReadLock(const std::string& lockPath) {
    using Kind = LockContent::Kind;
    const int fd =
        ::open(lockPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return {Kind::Absent, 0};
        // A file we may not read says nothing about its owner, as a lock without a pid.
        if (errno == EACCES) return {Kind::Lock, 0};
        return {Kind::NotALockFile, 0};
    }
    struct stat info {};
    char text[kLongestLock + 1];
    ssize_t length = -1;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
        info.st_size <= static_cast<off_t>(kLongestLock)) {
        length = ::read(fd, text, sizeof text);
    }
    ::close(fd);
    if (length < 0 || static_cast<std::size_t>(length) > kLongestLock) {
        return {Kind::NotALockFile, 0};
    }
    return {Kind::Lock, ParseLockPid(std::string(text, static_cast<std::size_t>(length)))};
}

bool ProcessRuns(long pid) {
    if (pid <= 0 || pid > INT_MAX) return false;
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

std::string ProgramName(long pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(comm, name);
    return name;
}

// "%10ld\n" without stdio, which a signal handler may not use: the lock's own text.
int FormatPid(char (&text)[16], long pid) {
    char digits[16];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + pid % 10);
        pid /= 10;
    } while (pid > 0 && count < 15);
    int length = 0;
    for (int pad = count; pad < 10; ++pad) text[length++] = ' ';
    while (count > 0) text[length++] = digits[--count];
    text[length++] = '\n';
    return length;
}

enum class Creation { Created, Exists, Failed };

// Creates the lock holding this process's pid: through a temporary file made exclusively and
// without following links, so that a name planted in the shared directory is never written
// through, and then linked to the lock's name.
Creation CreateLock(const std::string& lockPath) {
    const std::string temporary = lockPath + ".LTMP" + std::to_string(::getpid());
    const auto openTemporary = [&temporary] {
        return ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                      0644);
    };
    int fd = openTemporary();
    if (fd < 0 && errno == EEXIST) {
        // Left by an earlier process of this pid, or planted: the name goes, not its target.
        ::unlink(temporary.c_str());
        fd = openTemporary();
    }
    if (fd < 0) return Creation::Failed;
    char text[16];
    const int length = FormatPid(text, static_cast<long>(::getpid()));
    const bool written = ::write(fd, text, static_cast<std::size_t>(length)) == length;
    ::close(fd);
    // link() is atomic where O_EXCL on the final name is not on every file system.
    const bool linked = written && ::link(temporary.c_str(), lockPath.c_str()) == 0;
    const int error = errno;
    ::unlink(temporary.c_str());
    if (linked) return Creation::Created;
    return written && error == EEXIST ? Creation::Exists : Creation::Failed;
}

// The holder a lock's content names, if it is not this process and still runs.
std::optional<LockHolder> HolderOf(const std::string& lockPath, const LockContent& lock) {
    if (lock.kind == LockContent::Kind::NotALockFile) return LockHolder{0, {}, lockPath};
    if (lock.kind == LockContent::Kind::Absent || lock.pid == static_cast<long>(::getpid()) ||
        !ProcessRuns(lock.pid)) {
        return std::nullopt;
    }
    return LockHolder{lock.pid, ProgramName(lock.pid), {}};
}

}  // namespace

std::string LockDirectory() {
    if (const char* injected = std::getenv("LUNVIK_LOCK_DIR"); injected && *injected) {
        return injected;
    }
    return IsDirectory("/run/lock") ? "/run/lock" : "/var/lock";
}

std::string LockFilePath(const std::string& devicePath) {
    char resolved[PATH_MAX];
    std::string name = ::realpath(devicePath.c_str(), resolved) != nullptr ? resolved : devicePath;
    const std::string dev = "/dev/";
    if (name.compare(0, dev.size(), dev) == 0) {
        name.erase(0, dev.size());
    } else if (const auto slash = name.rfind('/'); slash != std::string::npos) {
        name.erase(0, slash + 1);
    }
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    return LockDirectory() + "/" + kLockPrefix + name;
}

std::optional<LockHolder> LiveLockHolder(const std::string& devicePath) {
    const std::string lockPath = LockFilePath(devicePath);
    return HolderOf(lockPath, ReadLock(lockPath));
}

}  // namespace lunvik

namespace lunvik::posix {

bool TakePortLock(int fd, const char* devicePath) {
    const std::string device = devicePath != nullptr ? devicePath : "";
    const std::string lockPath = LockFilePath(device);
    // Two tries: a stale lock found on the first is removed and the lock made anew.
    for (int attempt = 0; attempt < 2; ++attempt) {
        const Creation creation = CreateLock(lockPath);
        if (creation == Creation::Created) {
            std::lock_guard guard(registryLock);
            Registry()[fd] = lockPath;
            return true;
        }
        if (creation == Creation::Failed) break;
        const LockContent lock = ReadLock(lockPath);
        if (HolderOf(lockPath, lock)) break;
        if (lock.kind == LockContent::Kind::Lock) ::unlink(lockPath.c_str());
    }
    // No lock of ours: only a running holder's lock, or what is no lock, refuses the port.
    if (LiveLockHolder(device)) {
        errno = EBUSY;
        return false;
    }
    return true;
}

void ReleasePortLock(int fd) {
    std::string lockPath;
    {
        std::lock_guard guard(registryLock);
        const auto entry = Registry().find(fd);
        if (entry == Registry().end()) return;
        lockPath = entry->second;
        Registry().erase(entry);
    }
    // Only our own lock goes: another process may have taken over one we lost.
    const int saved = errno;
    const LockContent lock = ReadLock(lockPath);
    if (lock.kind == LockContent::Kind::Lock && lock.pid == static_cast<long>(::getpid())) {
        ::unlink(lockPath.c_str());
    }
    errno = saved;
}

void NoteLocksToAbandon(const std::vector<std::string>& devicePaths) {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY) {
        descriptorLimit = static_cast<int>(std::min<rlim_t>(limit.rlim_cur, 65536));
    }
    std::size_t count = 0;
    for (const std::string& device : devicePaths) {
        if (count == kMostNotedLocks) break;
        const std::string lockPath = LockFilePath(device);
        if (lockPath.size() >= PATH_MAX) continue;
        lockPath.copy(notedLocks[count], lockPath.size());
        notedLocks[count][lockPath.size()] = '\0';
        ++count;
    }
    notedLockCount = count;
}

// Only calls a signal handler may make: tcgetattr, tcflush, ioctl, close, open, read, unlink.
void AbandonEveryPort() {
    for (int fd = 3; fd < descriptorLimit; ++fd) {
        struct termios line {};
        if (::tcgetattr(fd, &line) != 0) continue;
        ::tcflush(fd, TCIOFLUSH);
        ::ioctl(fd, TIOCNXCL);
        ::close(fd);
    }
    char own[16];
    const int ownLength = FormatPid(own, static_cast<long>(::getpid()));
    for (std::size_t i = 0; i < notedLockCount; ++i) {
        const int fd = ::open(notedLocks[i], O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) continue;
        char text[sizeof own] = {};
        const ssize_t length = ::read(fd, text, sizeof text);
        ::close(fd);
        if (length == ownLength &&
            std::memcmp(text, own, static_cast<std::size_t>(ownLength)) == 0) {
            ::unlink(notedLocks[i]);
        }
    }
}

}  // namespace lunvik::posix
