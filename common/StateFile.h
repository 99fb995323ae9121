#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

// A small file that several processes, on one machine or sharing a network folder, read and
// replace in turn. Each platform has its own file behind this header, chosen by CMake.

// An exclusive lock on the file at `path` (made when missing, never removed), held from Take
// until it goes; another process, and another thread of this one, waits in Take meanwhile.
class FileLock {
public:
    // Waits for the lock; empty with `reason` set when the lock file cannot be opened or locked.
    static std::unique_ptr<FileLock> Take(const std::string& path, std::string& reason);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    explicit FileLock(std::intptr_t handle) : handle_(handle) {}
    std::intptr_t handle_;  // the platform's descriptor or handle of the open lock file
};

// The whole text of the small file at `path`, nullopt in `contents` when there is none; false
// with `reason` set when it exists but cannot be read.
bool ReadStateFile(const std::string& path, std::optional<std::string>& contents,
                   std::string& reason);

// Replaces the file at `path` by `contents`: written to a file beside it, flushed to the disk,
// then renamed over it, so that after a crash at any moment the file holds either its old text
// or the new one whole. Called with the file's lock held. False with `reason` set when any step
// fails; the old file then stays.
bool ReplaceStateFile(const std::string& path, const std::string& contents, std::string& reason);
