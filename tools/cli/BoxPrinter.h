#pragma once

#include <string>

#include "control/SessionEvents.h"
#include "tools/cli/ConsoleOutput.h"

// The box's text indented under its caption, one line per text line.
std::string FormatBox(const std::string& text, const std::string& caption, BoxIcon icon);

// Prints a session's box on stderr with its cause line ("    cause: ..."); the one question a
// session asks ("Proceed anyway?") is answered from the command line.
BoxAnswer PrintBox(const SessionBox& box, ConsoleOutput& output, bool proceedOnError);
