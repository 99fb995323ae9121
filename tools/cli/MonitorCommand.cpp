#include "control/ExitStatus.h"
#include "tools/cli/Commands.h"
#include "tools/cli/Monitor.h"
#include "tools/cli/PortName.h"

int RunMonitorCommand(const CliOptions& options, ConsoleOutput& output) {
    PortName port;
    if (!ParsePortName(options.port, port)) {
        output.Error("pelorant-cli: '" + options.port + "' names no port (COMn or a device path)");
        return kExitUsage;
    }
    return RunMonitor(port, options.baud, options.monitor, output);
}
