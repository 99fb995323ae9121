#include "control/HexFileWatch.h"

#include "control/ProgrammingSession.h"
#include "image/HexLoader.h"

HexFileWatch::HexFileWatch(ProgrammingSession& control, IMessageBox& boxes)
    : control_(control), boxes_(boxes) {}

void HexFileWatch::OnActivationChange() {
    Check();
}

void HexFileWatch::OnIdle() {
    if (!pending_ || control_.Busy() || m_reloadPromptActive) return;
    Check();
}

void HexFileWatch::Check() {
    pending_ = false;
    if (control_.HexPath().empty()) return;

    HexFileStatus current;
    if (!ReadHexFileStatus(control_.HexPath(), current)) return;
    if (current.modifiedSeconds == control_.HexStamp().modifiedSeconds) return;
    // The question box itself changes the activation; it must not ask a second time.
    if (m_reloadPromptActive) return;
    if (control_.Busy()) {
        pending_ = true;
        return;
    }

    m_reloadPromptActive = 1;
    const BoxAnswer answer =
        boxes_.Show("Your HEX file has been modified.\nDo you want to reload it?",
                    "HEX file out of date", BoxIcon::Warning, BoxButtons::YesNo);
    if (answer == BoxAnswer::Yes) {
        control_.Load();
    } else {
        control_.KeepLoadedImage(current);
    }
    m_reloadPromptActive = 0;
}
