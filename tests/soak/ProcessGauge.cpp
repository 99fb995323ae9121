#include "tests/soak/ProcessGauge.h"

#include <filesystem>
#include <fstream>
#include <sstream>

ProcessGauge MeasureProcess() {
    ProcessGauge gauge;
    for ([[maybe_unused]] const auto& entry :
         std::filesystem::directory_iterator("/proc/self/fd")) {
        ++gauge.openFiles;
    }
    --gauge.openFiles;  // the directory listing itself
    std::ifstream status("/proc/self/status");
    std::string field;
    while (status >> field) {
        if (field == "Threads:") status >> gauge.threads;
        if (field == "VmRSS:") status >> gauge.residentKiB;
    }
    return gauge;
}

std::string Describe(const ProcessGauge& gauge) {
    std::ostringstream text;
    text << "fds " << gauge.openFiles << ", threads " << gauge.threads << ", RSS "
         << gauge.residentKiB << " KiB";
    return text.str();
}
