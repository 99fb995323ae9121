#pragma once

#include <ctime>

// The local time of `when`, safe to call from any thread (each platform has its own file).
std::tm LocalTime(std::time_t when);
