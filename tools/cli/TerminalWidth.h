#pragma once

#include <cstddef>
#include <cstdio>

// The width in columns of the terminal (or console window) that `stream` writes to; 0 when it
// is unknown. Each platform has its own file.
std::size_t TerminalColumns(std::FILE* stream);
