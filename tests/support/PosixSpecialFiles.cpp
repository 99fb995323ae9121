#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "tests/support/TestSupport.h"

namespace testsupport {

SpecialFiles::SpecialFiles(const std::filesystem::path& dir)
    : pipe((dir / "fifo").string()), device("/dev/null") {
    if (::mkfifo(pipe.c_str(), 0600) != 0) throw std::runtime_error("mkfifo " + pipe);
}

SpecialFiles::~SpecialFiles() = default;

std::string MissingFileText() {
    return std::strerror(ENOENT);
}

}  // namespace testsupport
