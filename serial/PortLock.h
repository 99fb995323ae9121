#pragma once

#include <optional>
#include <string>
#include <vector>

// UUCP lock files, as other serial programs on Linux keep them: "LCK..<name>" in the lock
// directory, holding the owner's process id as ten ASCII digits and a newline. A lock of a
// process that no longer runs is stale and taken over. The lock directory is writable by every
// local user, so whatever sits at a lock's name is opened without following links or blocking,
// and only a small regular file counts as a lock.
namespace lunvik {

// $LUNVIK_LOCK_DIR when set (tests), else /run/lock, else /var/lock.
std::string LockDirectory();
// The lock file of a device: its path below /dev with '/' turned into '_' ("LCK..ttyUSB0",
// "LCK..pts_7"), links resolved first.
std::string LockFilePath(const std::string& devicePath);

// What keeps the device's lock from this process: a running process other than this one, or
// something at the lock's name that is no lock file (a directory, a FIFO, a link, a file too
// long for a lock), which is never removed.
struct LockHolder {
    long pid = 0;              // 0 when `notALockFile` is set
    std::string program;       // the process's name, empty when the system does not say
    std::string notALockFile;  // the path of what is there instead of a lock file
};

// The holder of the device's lock, if any.
std::optional<LockHolder> LiveLockHolder(const std::string& devicePath);

}  // namespace lunvik

namespace lunvik::posix {

// Takes the device's lock for the port opened as `fd`. False with errno EBUSY while another
// running process holds it or something that is no lock file sits at its name. A lock
// directory that is missing or not writable takes no lock and refuses nothing but those.
bool TakePortLock(int fd, const char* devicePath);
// Removes the lock taken for `fd`, if any.
void ReleasePortLock(int fd);

// For a signal handler that ends the process at once. The devices' locks are noted first, in
// ordinary code; AbandonEveryPort() then, safe in a signal handler, discards what each terminal
// the process holds (beyond stdin, stdout and stderr) still has queued either way, drops its
// exclusive flag, closes it, and removes those noted locks that are this process's own.
void NoteLocksToAbandon(const std::vector<std::string>& devicePaths);
void AbandonEveryPort();

}  // namespace lunvik::posix
