#pragma once

#include <string>

#include "common/RegularFile.h"

// Files a tool writes beside the ones it reads (the line trace). Each platform has its own
// file behind this header, chosen by CMake.

// Whether `a` and `b` name one existing file, however each is spelled: another directory on
// the way, a symbolic link, a second hard link. False when either does not exist.
bool SameFile(const std::string& a, const std::string& b);

// Opens `path` for writing, emptied when it is a regular file and made when it does not exist.
// The open never waits: a FIFO that no program reads is refused at once as "<path>: no program
// reads this FIFO", one with a reader is written like a pipe. Otherwise a failure's `reason` is
// "<path>: <system text>".
FilePtr OpenOutputFile(const std::string& path, std::string& reason);
