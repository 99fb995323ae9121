#pragma once

#include <string>

// The port directory maps COM numbers to devices: symbolic links named COM1, COM2, ...
// in $XDG_CONFIG_HOME/lunvik/ports (~/.config/lunvik/ports when the variable is unset).
namespace lunvik {

std::string PortDirectory();
// The device that COM<n> names: the link's target when a link exists, else /dev/ttyS<n-1>
// for n in 1..32; empty when neither applies.
std::string ResolveComPort(unsigned int portNumber);

}  // namespace lunvik
