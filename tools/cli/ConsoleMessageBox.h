#pragma once

#include <map>
#include <string>

#include "common/MessageBox.h"
#include "tools/cli/ConsoleOutput.h"

// The engine's message boxes on stderr, with their caption. The one question the engine
// asks ("Proceed anyway?") is answered from the command line. A box can be followed by a
// cause line that says, in the user's terms, what its text leaves out.
class ConsoleMessageBox : public IMessageBox {
public:
    ConsoleMessageBox(ConsoleOutput& output, bool answerYes);

    BoxAnswer Show(const std::string& text, const std::string& caption, BoxIcon icon,
                   BoxButtons buttons) override;

    // Prints "cause: <line>" after the next box with `caption`.
    void AddCause(const std::string& caption, const std::string& line) { causes_[caption] = line; }

private:
    ConsoleOutput& output_;
    bool answerYes_;
    std::map<std::string, std::string> causes_;
};

// The box's text indented under its caption, one line per text line.
std::string FormatBox(const std::string& text, const std::string& caption, BoxIcon icon);
