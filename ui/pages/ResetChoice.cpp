#include "ui/pages/ResetChoice.h"

#include <algorithm>

namespace {

const ResetChoice* Offered(const std::string& sequence) {
    const std::vector<ResetChoice>& offered = OfferedResets();
    const auto found = std::find_if(offered.begin(), offered.end(),
                                    [&](const ResetChoice& c) { return c.sequence == sequence; });
    return found == offered.end() ? nullptr : &*found;
}

}  // namespace

const std::vector<ResetChoice>& OfferedResets() {
    static const std::vector<ResetChoice> choices = {
        {"none", kNoReset},
        {"DTR", "dtr"},
        {"RTS", "rts"},
        {"DTR inverted", "dtr-inverted"},
        {"RTS inverted", "rts-inverted"},
    };
    return choices;
}

std::vector<ResetChoice> ResetChoicesFor(const std::string& stored) {
    std::vector<ResetChoice> choices = OfferedResets();
    if (Offered(stored) == nullptr && ResetSequenceFor(stored)) {
        choices.push_back({stored, stored});
    }
    return choices;
}

int ResetChoiceIndex(const std::vector<ResetChoice>& choices, const std::string& stored) {
    for (std::size_t i = 0; i < choices.size(); ++i) {
        if (choices[i].sequence == stored) return static_cast<int>(i);
    }
    return 0;
}

std::optional<bootproto::ResetSequence> ResetSequenceFor(const std::string& setting) {
    if (setting.empty() || setting == kNoReset) return std::nullopt;
    std::string error;
    return bootproto::ParseResetSequence(setting, &error);
}

std::string ResetLinesName(const std::string& setting) {
    const ResetChoice* offered = Offered(setting);
    return offered != nullptr ? offered->label : "the modem lines";
}
