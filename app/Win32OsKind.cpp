#include <windows.h>

#include "app/OsKind.h"

std::string QueryOsName() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version)) return {};
    return OsKindFromVersion(version.dwPlatformId == VER_PLATFORM_WIN32_NT, version.dwMajorVersion,
                             version.dwMinorVersion);
}
