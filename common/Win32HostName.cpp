#include <windows.h>

#include "common/HostName.h"

std::string HostName() {
    char name[256] = {};
    DWORD size = sizeof name;
    if (!GetComputerNameExA(ComputerNameDnsHostname, name, &size)) return {};
    return std::string(name, size);
}
