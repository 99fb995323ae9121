#include "app/ComPorts.h"
#include "tools/cli/Commands.h"
#include "tools/cli/ExitStatus.h"

int RunPortsCommand(ConsoleOutput& output) {
    ComPortList ports;
    if (const auto failure = EnumerateComPorts(ports)) {
        output.Error("pelorant-cli: the serial ports could not be listed: " + *failure);
        return kExitPortNotOpened;
    }
    if (ports.Count() == 0) output.Note("no serial ports found");
    for (std::size_t i = 0; i < ports.Count(); ++i) {
        const ComPortEntry& entry = ports.At(i);
        output.Result(entry.portName + "\t" + entry.devicePath + "\t" + entry.friendlyName);
    }
    return kExitOk;
}
