#pragma once

#include <cstddef>

// Writes all `size` bytes to `fd`, going on after a signal and after a short write. False when
// the system refused; errno then says why (ENOSPC when a write took nothing).
bool WriteAll(int fd, const char* data, std::size_t size);
