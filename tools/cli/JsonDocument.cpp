#include "tools/cli/JsonDocument.h"

#include <cstdio>
#include <nlohmann/json.hpp>

void PrintJsonDocument(const nlohmann::ordered_json& document) {
    // Text that is not UTF-8 (a path in another code page) is replaced, not refused: the
    // document matters more than one character of it.
    const std::string text =
        document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
    std::fprintf(stdout, "%s\n", text.c_str());
    std::fflush(stdout);
}
