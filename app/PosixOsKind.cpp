#include <sys/utsname.h>

#include <cstdio>

#include "app/OsKind.h"

std::string QueryOsName() {
    utsname system{};
    unsigned major = 0;
    unsigned minor = 0;
    if (::uname(&system) != 0 || std::sscanf(system.release, "%u.%u", &major, &minor) != 2) {
        return {};
    }
    return OsKindFromVersion(false, major, minor);
}
