#pragma once

#include "common/MessageBox.h"

class ProgrammingSession;

// The main window's watch on its HEX file: at every activation change it offers to load a
// file again that was modified since it was last opened.
//
// It never loads while a write or a detection runs (the row writer and the identification
// read the images): a change seen then is asked about once the window is idle again. A file
// whose status cannot be read (deleted or moved away) is not asked about; the watch asks again
// only when the file is back with another modification time.
class HexFileWatch {
public:
    HexFileWatch(ProgrammingSession& control, IMessageBox& boxes);

    // At every activation change of the window, whether it became active or inactive.
    void OnActivationChange();
    // After each command or message the window has handled: the check that had to wait for a
    // write or a detection runs as soon as neither does.
    void OnIdle();

    bool CheckPending() const { return pending_; }

    int m_reloadPromptActive = 0;  // the question is on screen

private:
    void Check();

    ProgrammingSession& control_;
    IMessageBox& boxes_;
    bool pending_ = false;
};
