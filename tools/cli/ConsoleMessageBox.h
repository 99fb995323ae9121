#pragma once

#include <set>
#include <string>

#include "common/MessageBox.h"
#include "tools/cli/ConsoleOutput.h"

// The engine's message boxes on stderr, with their caption. The one question the engine
// asks ("Proceed anyway?") is answered from the command line.
class ConsoleMessageBox : public IMessageBox {
public:
    ConsoleMessageBox(ConsoleOutput& output, bool answerYes);

    BoxAnswer Show(const std::string& text, const std::string& caption, BoxIcon icon,
                   BoxButtons buttons) override;

    bool Shown(const std::string& caption) const { return captions_.count(caption) != 0; }

private:
    ConsoleOutput& output_;
    bool answerYes_;
    std::set<std::string> captions_;
};

// The box's text indented under its caption, one line per text line.
std::string FormatBox(const std::string& text, const std::string& caption, BoxIcon icon);
