#pragma once

#include <windows.h>

#include <string>

// The system's text for a Windows error code, on one line.
std::string SystemText(DWORD code);
