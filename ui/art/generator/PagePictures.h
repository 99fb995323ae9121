#pragma once

#include <QImage>

#include "Palette.h"

// The pictures of the wizard pages and of the main window.
namespace art {

// Page 1/3: a serial connector and its cable running to a board. Shown in a bordered frame.
QImage ConfigurationPicture();

// Page 2/3: signal pulses over a board with its reset button. Magenta background.
QImage DetectionPicture(palette::Backdrop backdrop);

// Alert page: switch the platform off.
QImage PowerOffPicture();

// Alert page: keep the reset button pressed.
QImage ResetButtonPicture();

// Main window: a HEX file sent into the chip on its board. Magenta background.
QImage WorkflowPicture(palette::Backdrop backdrop);

}  // namespace art
