#include "app/OsKind.h"

#include <sys/utsname.h>

#include <cstdio>

std::string OsKindFromVersion(bool ntFamily, unsigned major, unsigned minor) {
    return ntFamily && major == 5 && minor == 1 ? "XP" : "nonXP";
}

std::string QueryOsName() {
    utsname system{};
    unsigned major = 0;
    unsigned minor = 0;
    if (::uname(&system) != 0 || std::sscanf(system.release, "%u.%u", &major, &minor) != 2) {
        return {};
    }
    return OsKindFromVersion(false, major, minor);
}
