#pragma once

#include <cstdint>
#include <memory>
#include <string>

// A system-wide, per-user guard against a second copy of the program: an exclusive lock on a
// file of the given name in the runtime directory (a named mutex on Windows), held for the
// life of the object and freed by the system when the process ends, however it ends.
class SingleInstanceGuard {
public:
    // Null when another process holds the guard. When no lock file can be made at all (no safe
    // directory, a full disk) the guard holds nothing (Held() false) and the program may go on
    // unguarded rather than refuse to start. `name` is a plain file name.
    static std::unique_ptr<SingleInstanceGuard> Acquire(const std::string& name);

    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard&) = delete;
    SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

    bool Held() const { return token_ != -1; }

private:
    explicit SingleInstanceGuard(std::intptr_t token) : token_(token) {}
    // The lock file's descriptor, or the mutex handle on Windows; -1 when nothing is held.
    std::intptr_t token_;
};

// The directory for lock files: $XDG_RUNTIME_DIR, else a per-user directory under `tmpRoot`
// (pelorant-<uid>, created with mode 0700). Either must be a real directory, not a symbolic
// link, owned by the user and closed to everyone else. Empty when neither is.
std::string RuntimeLockDirectory(const std::string& tmpRoot = "/tmp");
