#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

// Reading files that are meant to be regular files (HEX files, the catalogue). Each platform
// has its own file behind this header, chosen by CMake.

using FilePtr = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// The size and the last change of a file, as the HEX file watch compares them.
struct FileStamp {
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;  // whole seconds since 1970
};

// Reads the stamp of whatever `path` names; false when it cannot be read.
bool ReadFileStamp(const std::string& path, FileStamp& stamp);

// Opens `path` for reading in binary mode when it is a regular file. The open itself never
// waits: a FIFO, a pipe, a terminal or another device would block until someone writes, and is
// no file of ours anyway; such a path and a directory are refused at once as "<path> is not a
// regular file". Otherwise a failure's `reason` is "<path>: <system text>". On success `stamp`
// holds the opened file's stamp.
FilePtr OpenRegularFile(const std::string& path, FileStamp& stamp, std::string& reason);
