#pragma once

#include <nlohmann/json_fwd.hpp>

// Prints `document` on stdout, the only thing a command given --json prints there (its text
// goes to stderr).
void PrintJsonDocument(const nlohmann::ordered_json& document);
