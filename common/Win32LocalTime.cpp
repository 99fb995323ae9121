#include "common/LocalTime.h"

std::tm LocalTime(std::time_t when) {
    std::tm local{};
    localtime_s(&local, &when);  // the thread-safe local time under its Windows name
    return local;
}
