#pragma once

// The commands the main window offers: open, run, reconnect, reload and write. The control
// decides them; a window only renders them.
struct CommandStates {
    bool open = true;
    bool run = true;
    bool reconnect = true;
    bool reload = false;
    bool write = false;
};

// Whether the control's port is open when it starts.
enum class PortAtStart { Open, Closed };
