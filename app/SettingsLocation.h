#pragma once

#include <optional>
#include <string>
#include <vector>

// The user's settings file: $XDG_CONFIG_HOME/Vardeno/registry.reg, under ~/.config when the
// variable is unset or not an absolute path. Empty when no home directory is known.
std::string UserSettingsFile();

// The machine-wide settings files that reads fall back to, in order: the same name under each
// directory of $XDG_CONFIG_DIRS, then under the installation's etc/xdg, then under /etc/xdg.
std::vector<std::string> MachineSettingsFiles();

// Where the settings functions look: the places above unless a test has chosen its own, so
// that the files of an installed program play no part in what it reads.
struct SettingsPlaces {
    std::string userFile;
    std::vector<std::string> machineFiles;
};
SettingsPlaces CurrentSettingsPlaces();
// Chooses the places to use instead of the real ones; no value returns to the real ones.
void UseSettingsPlaces(std::optional<SettingsPlaces> places);
