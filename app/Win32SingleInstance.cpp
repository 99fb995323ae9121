#include <windows.h>

#include <stdexcept>

#include "app/SingleInstance.h"

// The guard is a named mutex in the session's namespace, owned by the first copy; Windows
// releases it when that process ends, however it ends.
std::unique_ptr<SingleInstanceGuard> SingleInstanceGuard::Acquire(const std::string& name) {
    if (name.empty() || name.find('\\') != std::string::npos) {
        throw std::invalid_argument("the guard's name must be a plain name");
    }
    HANDLE mutex = CreateMutexA(nullptr, TRUE, name.c_str());
    if (mutex != nullptr && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return nullptr;
    }
    // No mutex at all (out of resources): the program goes on unguarded.
    const std::intptr_t token = mutex != nullptr ? reinterpret_cast<std::intptr_t>(mutex) : -1;
    return std::unique_ptr<SingleInstanceGuard>(new SingleInstanceGuard(token));
}

SingleInstanceGuard::~SingleInstanceGuard() {
    if (token_ != -1) CloseHandle(reinterpret_cast<HANDLE>(token_));
}
