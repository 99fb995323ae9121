#include "serial/PortDirectory.h"
#include "tools/cli/PortName.h"

std::string ComPortDevice(int comNumber) {
    return lunvik::ResolveComPort(static_cast<unsigned>(comNumber));
}

std::string MissingComPortText(const std::string& name) {
    return name + " does not exist: no link " + name + " in " + lunvik::PortDirectory() +
           " (pelorant-cli ports lists the ports)";
}

std::string PermissionAdvice() {
    return "join the dialout group (sudo usermod -aG dialout $USER), then log in again";
}
