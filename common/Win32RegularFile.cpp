#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdint>

#include "common/RegularFile.h"
#include "common/Win32SystemText.h"

namespace {

// FILETIME counts 100 ns steps since 1601; the stamp counts seconds since 1970.
std::int64_t UnixSeconds(const FILETIME& time) {
    const std::uint64_t ticks =
        static_cast<std::uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10000000u) - 11644473600;
}

FileStamp StampOf(DWORD sizeHigh, DWORD sizeLow, const FILETIME& written) {
    return {static_cast<std::int64_t>(static_cast<std::uint64_t>(sizeHigh) << 32 | sizeLow),
            UnixSeconds(written)};
}

}  // namespace

bool ReadFileStamp(const std::string& path, FileStamp& stamp) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path.empty() || !GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    stamp = StampOf(data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime);
    return true;
}

FilePtr OpenRegularFile(const std::string& path, FileStamp& stamp, std::string& reason) {
    FilePtr none(nullptr, &std::fclose);
    // Backup semantics let a directory open, so that it is refused like any other non-file.
    // Opening a pipe or a device does not wait on Windows; what it is decides afterwards.
    const HANDLE handle = CreateFileA(path.c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        reason = path + ": " + SystemText(GetLastError());
        return none;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        reason = path + " is not a regular file";
        CloseHandle(handle);
        return none;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        reason = path + ": " + SystemText(GetLastError());
        CloseHandle(handle);
        return none;
    }
    FilePtr file(_fdopen(fd, "rb"), &std::fclose);
    if (!file) {
        reason = path + ": " + SystemText(GetLastError());
        _close(fd);  // closes the handle as well
        return none;
    }
    stamp = StampOf(info.nFileSizeHigh, info.nFileSizeLow, info.ftLastWriteTime);
    return file;
}
