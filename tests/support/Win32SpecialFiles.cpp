#include <windows.h>

#include <atomic>
#include <stdexcept>

#include "tests/support/TestSupport.h"

namespace testsupport {

namespace {

std::string PipeName() {
    static std::atomic<unsigned> count{0};
    return "\\\\.\\pipe\\pelorant-test-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(count++);
}

}  // namespace

// The pipe exists while its server end is open; nobody ever writes to it.
SpecialFiles::SpecialFiles(const std::filesystem::path&) : pipe(PipeName()), device("\\\\.\\NUL") {
    const HANDLE server =
        CreateNamedPipeA(pipe.c_str(), PIPE_ACCESS_OUTBOUND, PIPE_TYPE_BYTE | PIPE_WAIT,
                         PIPE_UNLIMITED_INSTANCES, 0, 0, 0, nullptr);
    if (server == INVALID_HANDLE_VALUE) throw std::runtime_error("CreateNamedPipe " + pipe);
    server_ = server;
}

SpecialFiles::~SpecialFiles() {
    CloseHandle(static_cast<HANDLE>(server_));
}

std::string MissingFileText() {
    char buffer[256] = "";
    DWORD length = FormatMessageA(
        FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_NOT_FOUND,
        MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), buffer, sizeof buffer, nullptr);
    while (length > 0 &&
           (buffer[length - 1] == '\n' || buffer[length - 1] == '\r' || buffer[length - 1] == ' '))
        --length;
    return std::string(buffer, length);
}

}  // namespace testsupport
