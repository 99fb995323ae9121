#pragma once

#include <chrono>
#include <string>

// `when` in UTC as ISO 8601 with milliseconds: "2026-12-09T10:30:15.042Z".
std::string UtcTimeText(std::chrono::system_clock::time_point when);
