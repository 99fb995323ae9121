#pragma once

#include <cstdint>
#include <memory>
#include <string>

// A file that records are added to and that is never emptied, such as a log of every board
// written. Each Append is one write at the end of the file, so that a record of another
// writer of the same file lands before or after it, never inside it, and is on the disk
// before Append returns. Each platform has its own file behind this header.
class AppendFile {
public:
    // Opens `path` for appending, made when it does not exist. A directory is refused as
    // "<path> is a directory", a FIFO or a device at once as "<path> is not a regular file";
    // otherwise a failure's `reason` is "<path>: <system text>".
    static std::unique_ptr<AppendFile> Open(const std::string& path, std::string& reason);

    ~AppendFile();
    AppendFile(const AppendFile&) = delete;
    AppendFile& operator=(const AppendFile&) = delete;

    // Adds `text` at the end of the file and syncs it to the disk; false with `reason` set
    // ("<path>: <system text>") when either failed.
    bool Append(const std::string& text, std::string& reason);

private:
    AppendFile(std::intptr_t handle, std::string path) : handle_(handle), path_(std::move(path)) {}

    std::intptr_t handle_;  // the platform's file descriptor or handle
    std::string path_;
};
