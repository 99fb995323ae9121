#include "tools/cli/BoxPrinter.h"

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

BoxAnswer PrintBox(const SessionBox& box, ConsoleOutput& output, bool proceedOnError) {
    output.Error(FormatBox(box.text, box.caption, box.icon));
    if (!box.cause.empty()) output.Error("    cause: " + box.cause);
    if (box.buttons == BoxButtons::Ok) return BoxAnswer::Ok;
    output.Error(proceedOnError ? "    -> Yes (--proceed-on-error)"
                                : "    -> No (--proceed-on-error goes on)");
    return proceedOnError ? BoxAnswer::Yes : BoxAnswer::No;
}
