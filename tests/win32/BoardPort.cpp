#include "tests/win32/BoardPort.h"

#include <cstdlib>
#include <string>

unsigned BoardComNumber() {
    const char* text = std::getenv("PELORANT_TEST_COM");
    if (text == nullptr || *text == '\0') return 0;
    try {
        return static_cast<unsigned>(std::stoul(text));
    } catch (const std::exception&) {
        return 0;
    }
}
