#include "tools/cli/ConsoleMessageBox.h"

namespace {

const char* IconName(BoxIcon icon) {
    switch (icon) {
        case BoxIcon::Error:
            return "error";
        case BoxIcon::Warning:
        case BoxIcon::Exclamation:
            return "warning";
        case BoxIcon::Information:
            break;
    }
    return "note";
}

}  // namespace

std::string FormatBox(const std::string& text, const std::string& caption, BoxIcon icon) {
    std::string formatted = std::string(IconName(icon)) + ": " + caption;
    std::size_t begin = 0;
    for (;;) {
        const std::size_t end = text.find('\n', begin);
        const std::string line = text.substr(begin, end - begin);
        if (!line.empty()) formatted += "\n    " + line;
        if (end == std::string::npos) break;
        begin = end + 1;
    }
    return formatted;
}

ConsoleMessageBox::ConsoleMessageBox(ConsoleOutput& output, bool answerYes)
    : output_(output), answerYes_(answerYes) {}

BoxAnswer ConsoleMessageBox::Show(const std::string& text, const std::string& caption, BoxIcon icon,
                                  BoxButtons buttons) {
    output_.Error(FormatBox(text, caption, icon));
    if (const auto cause = causes_.find(caption); cause != causes_.end()) {
        output_.Error("    cause: " + cause->second);
        causes_.erase(cause);
    }
    if (buttons == BoxButtons::Ok) return BoxAnswer::Ok;
    output_.Error(answerYes_ ? "    -> Yes (--proceed-on-error)"
                             : "    -> No (--proceed-on-error goes on)");
    return answerYes_ ? BoxAnswer::Yes : BoxAnswer::No;
}
