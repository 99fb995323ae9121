#include <windows.h>

#include <cerrno>
#include <cstring>

#include "common/OutputFile.h"

namespace {

// The volume and index that name a file on Windows; false when it does not open.
bool FileIdentity(const std::string& path, BY_HANDLE_FILE_INFORMATION& info) {
    const HANDLE handle =
        CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(handle, &info) != 0;
    CloseHandle(handle);
    return known;
}

}  // namespace

bool SameFile(const std::string& a, const std::string& b) {
    BY_HANDLE_FILE_INFORMATION first{};
    BY_HANDLE_FILE_INFORMATION second{};
    return FileIdentity(a, first) && FileIdentity(b, second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
           first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

// A named pipe on Windows opens at once or fails; nothing here waits.
FilePtr OpenOutputFile(const std::string& path, std::string& reason) {
    FilePtr file(std::fopen(path.c_str(), "w"), &std::fclose);
    if (!file) reason = path + ": " + std::strerror(errno);
    return file;
}
