#pragma once

#include <cstddef>
#include <string>

// What a long-running process must not gain cycle after cycle.
struct ProcessGauge {
    std::size_t openFiles = 0;
    int threads = 0;
    long residentKiB = 0;
};

ProcessGauge MeasureProcess();
std::string Describe(const ProcessGauge& gauge);
