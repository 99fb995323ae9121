#include "app/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <string>

namespace {

bool WriteAll(int fd, const std::string& contents) {
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t written = ::write(fd, contents.data() + done, contents.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

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

}  // namespace

bool ReplaceFileAtomically(const std::string& path, const std::string& contents) {
    const std::string target = FollowLinks(path);
    struct stat existing {};
    const bool exists = ::stat(target.c_str(), &existing) == 0;

    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, contents);
    if (ok && exists) ok = ::fchmod(fd, existing.st_mode & 07777) == 0;
    ok = ::fsync(fd) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    if (ok) ok = ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temporary.c_str());
    return ok;
}
