#pragma once

#include <optional>
#include <string>

// UUCP lock files, as other serial programs on Linux keep them: "LCK..<name>" in the lock
// directory, holding the owner's process id as ten ASCII digits and a newline. A lock of a
// process that no longer runs is stale and taken over.
namespace lunvik {

// $LUNVIK_LOCK_DIR when set (tests), else /run/lock, else /var/lock.
std::string LockDirectory();
// The lock file of a device: its path below /dev with '/' turned into '_' ("LCK..ttyUSB0",
// "LCK..pts_7"), links resolved first.
std::string LockFilePath(const std::string& devicePath);

struct LockHolder {
    long pid = 0;
    std::string program;  // the process's name, empty when the system does not say
};

// The running process other than this one that holds the device's lock, if any.
std::optional<LockHolder> LiveLockHolder(const std::string& devicePath);

}  // namespace lunvik

namespace lunvik::posix {

// Takes the device's lock for the port opened as `fd`. False with errno EBUSY while another
// running process holds it. A lock directory that is missing or not writable takes no lock
// and refuses nothing but a live holder's lock.
bool TakePortLock(int fd, const char* devicePath);
// Removes the lock taken for `fd`, if any.
void ReleasePortLock(int fd);

}  // namespace lunvik::posix
