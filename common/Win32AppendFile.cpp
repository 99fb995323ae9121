#include <windows.h>

#include "common/AppendFile.h"
#include "common/Win32SystemText.h"

namespace {

HANDLE HandleOf(std::intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

}  // namespace

std::unique_ptr<AppendFile> AppendFile::Open(const std::string& path, std::string& reason) {
    // Append data alone, without the right to write elsewhere: the system puts every write at
    // the end of the file, whoever else appends to it.
    const HANDLE handle = CreateFileA(path.c_str(), FILE_APPEND_DATA | SYNCHRONIZE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const DWORD attributes = GetFileAttributesA(path.c_str());
        reason = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                     ? path + " is a directory"
                     : path + ": " + SystemText(error);
        return nullptr;
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        reason = path + " is not a regular file";
        CloseHandle(handle);
        return nullptr;
    }
    return std::unique_ptr<AppendFile>(
        new AppendFile(reinterpret_cast<std::intptr_t>(handle), path));
}

AppendFile::~AppendFile() {
    CloseHandle(HandleOf(handle_));
}

bool AppendFile::Append(const std::string& text, std::string& reason) {
    const HANDLE handle = HandleOf(handle_);
    std::size_t written = 0;
    while (written < text.size()) {
        DWORD wrote = 0;
        const std::size_t chunk = text.size() - written;
        const DWORD length = chunk > 0x40000000u ? 0x40000000u : static_cast<DWORD>(chunk);
        if (!WriteFile(handle, text.data() + written, length, &wrote, nullptr) || wrote == 0) {
            reason = path_ + ": " + SystemText(GetLastError());
            return false;
        }
        written += wrote;
    }
    if (!FlushFileBuffers(handle)) {
        reason = path_ + ": " + SystemText(GetLastError());
        return false;
    }
    return true;
}
