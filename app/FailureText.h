#pragma once

#include <cstdio>
#include <string>

// "<what> (err=<code>)" with the code in lowercase hexadecimal, the form every
// enumeration failure takes.
inline std::string FailureText(const std::string& what, int error) {
    char code[32];
    std::snprintf(code, sizeof code, " (err=%x)", static_cast<unsigned>(error));
    return what + code;
}
