#pragma once

#include <string>

// The OS kind that picks one of the program's two image sets: "XP" for version 5.1 of the NT
// family, "nonXP" for everything else.
std::string OsKindFromVersion(bool ntFamily, unsigned major, unsigned minor);

// The running system's kind; empty when its version cannot be queried. Linux is no NT system,
// so it is always "nonXP" there.
std::string QueryOsName();
