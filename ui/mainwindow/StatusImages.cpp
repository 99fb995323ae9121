#include "ui/mainwindow/StatusImages.h"

StatusImages StatusImagesFor(const std::string& osName) {
    if (osName == "XP") return StatusImages{161, 160, 229, 145};
    return StatusImages{228, 227, 159, 232};
}

int LampImage(const StatusImages& images, int state) {
    switch (state) {
        case 0:
            return images.lampRed;
        case 1:
            return images.lampGrey;
        case 2:
            return images.lampGreen;
        default:
            return 0;
    }
}
