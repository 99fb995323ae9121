#include "serial/PortLock.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>

namespace lunvik {
namespace {

constexpr const char* kLockPrefix = "LCK..";

std::mutex registryLock;
std::map<int, std::string>& Registry() {
    static std::map<int, std::string> locks;  // descriptor -> lock file it took
    return locks;
}

bool IsDirectory(const char* path) {
    struct stat info {};
    return ::stat(path, &info) == 0 && S_ISDIR(info.st_mode);
}

// The owner's pid: ASCII (the usual form), or a 4-byte binary int from old programs.
long ReadLockPid(const std::string& lockPath) {
    std::ifstream file(lockPath, std::ios::binary);
    std::string content((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (content.size() == 4 && content.find('\n') == std::string::npos) {
        int binary = 0;
        content.copy(reinterpret_cast<char*>(&binary), 4);
        return binary;
    }
    char* end = nullptr;
    const long pid = std::strtol(content.c_str(), &end, 10);
    return end != content.c_str() ? pid : 0;
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

// Creates the lock holding this process's pid; false with errno EEXIST when one exists.
bool CreateLock(const std::string& lockPath) {
    const std::string temporary = lockPath + ".LTMP" + std::to_string(::getpid());
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    char text[16];
    const int length = std::snprintf(text, sizeof text, "%10ld\n", static_cast<long>(::getpid()));
    const bool written = ::write(fd, text, static_cast<std::size_t>(length)) == length;
    ::close(fd);
    // link() is atomic where O_EXCL on the final name is not on every file system.
    const bool linked = written && ::link(temporary.c_str(), lockPath.c_str()) == 0;
    const int error = errno;
    ::unlink(temporary.c_str());
    errno = linked ? 0 : (written ? error : EIO);
    return linked;
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
    const long pid = ReadLockPid(LockFilePath(devicePath));
    if (pid == static_cast<long>(::getpid()) || !ProcessRuns(pid)) return std::nullopt;
    return LockHolder{pid, ProgramName(pid)};
}

}  // namespace lunvik

namespace lunvik::posix {

bool TakePortLock(int fd, const char* devicePath) {
    const std::string device = devicePath != nullptr ? devicePath : "";
    const std::string lockPath = LockFilePath(device);
    // Two tries: a stale lock found on the first is removed and the lock made anew.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (CreateLock(lockPath)) {
            std::lock_guard guard(registryLock);
            Registry()[fd] = lockPath;
            return true;
        }
        if (errno != EEXIST || LiveLockHolder(device)) break;
        ::unlink(lockPath.c_str());
    }
    // No lock of ours: only a running holder's lock refuses the port.
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
    if (ReadLockPid(lockPath) == static_cast<long>(::getpid())) ::unlink(lockPath.c_str());
    errno = saved;
}

}  // namespace lunvik::posix
