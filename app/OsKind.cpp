#include "app/OsKind.h"

std::string OsKindFromVersion(bool ntFamily, unsigned major, unsigned minor) {
    return ntFamily && major == 5 && minor == 1 ? "XP" : "nonXP";
}
