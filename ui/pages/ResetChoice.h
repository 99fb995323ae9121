#pragma once

#include <optional>
#include <string>
#include <vector>

#include "protocol/ResetSequence.h"

// How page 1/3 offers to reset the board through the adapter's modem lines. The setting
// "reset" holds the sequence as pelorant-cli's --reset takes it, or "none".

inline constexpr const char* kNoReset = "none";

struct ResetChoice {
    std::string label;     // the list's text
    std::string sequence;  // the setting's text
};

// The offered choices in list order; "none", preselected, comes first.
const std::vector<ResetChoice>& OfferedResets();

// The list's choices for a stored setting: the offered ones, and a sequence of another form
// (a board wired otherwise, set in the settings file) as one more choice that shows its text.
std::vector<ResetChoice> ResetChoicesFor(const std::string& stored);
// The position of the stored setting among `choices`, 0 ("none") when it is not there.
int ResetChoiceIndex(const std::vector<ResetChoice>& choices, const std::string& stored);

// The sequence a setting plays; none for "none" and for a text that is no sequence.
std::optional<bootproto::ResetSequence> ResetSequenceFor(const std::string& setting);
// The lines as page 2/3 names them: "DTR", "RTS inverted", or "the modem lines".
std::string ResetLinesName(const std::string& setting);
