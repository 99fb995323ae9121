#include <unistd.h>

#include "common/HostName.h"

std::string HostName() {
    char name[256] = {};
    // A name as long as the buffer may come without its terminator.
    if (gethostname(name, sizeof name - 1) != 0) return {};
    return name;
}
