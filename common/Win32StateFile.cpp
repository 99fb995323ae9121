#include <windows.h>

#include <cstdio>

#include "common/StateFile.h"
#include "common/Win32SystemText.h"

namespace {

std::string Failure(const std::string& path, const char* what) {
    return path + ": " + what + ": " + SystemText(GetLastError());
}

}  // namespace

std::unique_ptr<FileLock> FileLock::Take(const std::string& path, std::string& reason) {
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = Failure(path, "cannot open the lock file");
        return nullptr;
    }
    // Each open handle locks on its own: a second thread's handle waits as another process does.
    OVERLAPPED whole{};
    if (!LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole)) {
        reason = Failure(path, "cannot lock");
        CloseHandle(file);
        return nullptr;
    }
    return std::unique_ptr<FileLock>(new FileLock(reinterpret_cast<std::intptr_t>(file)));
}

FileLock::~FileLock() {
    const HANDLE file = reinterpret_cast<HANDLE>(handle_);
    OVERLAPPED whole{};
    UnlockFileEx(file, 0, MAXDWORD, MAXDWORD, &whole);
    CloseHandle(file);
}

bool ReadStateFile(const std::string& path, std::optional<std::string>& contents,
                   std::string& reason) {
    contents.reset();
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND) return true;
        SetLastError(code);
        reason = Failure(path, "cannot open");
        return false;
    }
    std::string text;
    char chunk[4096];
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &got, nullptr)) {
            reason = Failure(path, "cannot read");
            CloseHandle(file);
            return false;
        }
        if (got == 0) break;
        text.append(chunk, got);
    }
    CloseHandle(file);
    contents = std::move(text);
    return true;
}

bool ReplaceStateFile(const std::string& path, const std::string& contents, std::string& reason) {
    const std::string temporary = path + ".new";
    const HANDLE file = CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        reason = Failure(temporary, "cannot make");
        return false;
    }
    DWORD written = 0;
    bool ok =
        WriteFile(file, contents.data(), static_cast<DWORD>(contents.size()), &written, nullptr) &&
        written == contents.size() && FlushFileBuffers(file);
    if (!ok) reason = Failure(temporary, "cannot write");
    CloseHandle(file);
    // The temporary's name is one for every process: the caller holds the lock.
    if (ok && !MoveFileExA(temporary.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        reason = Failure(path, "cannot replace");
        ok = false;
    }
    if (!ok) DeleteFileA(temporary.c_str());
    return ok;
}
