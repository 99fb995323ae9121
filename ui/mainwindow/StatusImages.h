#pragma once

#include <string>

// The images that exist in two sets, one for the OS kind "XP" and one for every other kind.
struct StatusImages {
    int lampRed;
    int lampGrey;
    int lampGreen;
    int clean;
};

StatusImages StatusImagesFor(const std::string& osName);

// The lamp image of state 0 (red), 1 (grey) or 2 (green); 0 for any other state.
int LampImage(const StatusImages& images, int state);
