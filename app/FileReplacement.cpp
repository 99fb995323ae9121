#include "app/FileReplacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>

#include "app/FileDescriptor.h"
#include "common/PosixWriteAll.h"

namespace {

// The file a chain of symbolic links ends at, whether or not that file exists yet: a link
// to a file still to be made is written through, not replaced by a file of its own.
std::string FollowLinks(const std::string& path) {
    constexpr int kMostLinks = 40;  // as the kernel's own limit
    std::string target = path;
    for (int i = 0; i < kMostLinks; ++i) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return target;
        char link[PATH_MAX];
        const ssize_t length = ::readlink(target.c_str(), link, sizeof link - 1);
        if (length < 0) return target;
        const std::string next(link, static_cast<std::size_t>(length));
        if (next.empty()) return target;
        if (next.front() == '/') {
            target = next;
        } else {
            const std::size_t slash = target.rfind('/');
            target =
                (slash == std::string::npos ? std::string() : target.substr(0, slash + 1)) + next;
        }
    }
    return target;
}

// Writes `contents` at the start of `fd` and cuts the file after it.
bool RewriteInPlace(int fd, const std::string& contents) {
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t written =
            ::pwrite(fd, contents.data() + done, contents.size() - done, static_cast<off_t>(done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return ::ftruncate(fd, static_cast<off_t>(contents.size())) == 0 && ::fsync(fd) == 0;
}

enum class Renamed { Done, Failed, NotThisWay };

// The temporary file beside `target`, renamed over it. NotThisWay, and nothing changed, when
// the directory takes no new file or the new file cannot have the old one's owner and group.
Renamed ReplaceByRename(const std::string& target, const std::string& contents,
                        const struct stat* existing) {
    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return errno == EACCES || errno == EPERM ? Renamed::NotThisWay : Renamed::Failed;
    if (existing != nullptr &&
        (existing->st_uid != ::geteuid() || existing->st_gid != ::getegid()) &&
        ::fchown(fd, existing->st_uid, existing->st_gid) != 0) {
        ::close(fd);
        ::unlink(temporary.c_str());
        return Renamed::NotThisWay;
    }
    bool ok = WriteAll(fd, contents.data(), contents.size());
    if (ok && existing != nullptr) ok = ::fchmod(fd, existing->st_mode & 07777) == 0;
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temporary.c_str());
    return ok ? Renamed::Done : Renamed::Failed;
}

}  // namespace

bool ReplaceFile(const std::string& path, const std::string& contents) {
    const std::string target = FollowLinks(path);
    // Opening it for writing asks the system whether the user may write it.
    const Descriptor existing(::open(target.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (existing.get() < 0) {
        if (errno != ENOENT) return false;
        return ReplaceByRename(target, contents, nullptr) == Renamed::Done;
    }
    struct stat info {};
    if (::fstat(existing.get(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
    if ((info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return false;
    if (info.st_nlink == 1) {
        const Renamed renamed = ReplaceByRename(target, contents, &info);
        if (renamed != Renamed::NotThisWay) return renamed == Renamed::Done;
    }
    return RewriteInPlace(existing.get(), contents);
}
