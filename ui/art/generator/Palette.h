#pragma once

#include <QColor>

// One palette for every picture, so the program's art reads as one family.
namespace art::palette {

// Backgrounds the pictures sit on.
inline const QColor kDialog{212, 208, 200};
inline const QColor kDialogXp{231, 231, 214};
inline const QColor kMagenta{255, 0, 255};
// A dark theme's window colour, behind the "-dark" copies of the pictures keyed on magenta.
inline const QColor kDialogDark{53, 53, 53};

// Ink for outlines, the wordmark and dark surfaces.
inline const QColor kInk{27, 42, 65};
inline const QColor kInkSoft{71, 85, 105};
inline const QColor kNight{15, 27, 51};
inline const QColor kNightLight{30, 50, 88};
// Ink of the wordmark on a dark window.
inline const QColor kInkOnDark{226, 232, 240};

// The chip.
inline const QColor kChipBody{45, 55, 72};
inline const QColor kChipTop{64, 77, 99};
inline const QColor kPin{188, 197, 208};
inline const QColor kPinShade{140, 151, 166};

// The "flash" accent and the action blue.
inline const QColor kFlash{255, 176, 32};
inline const QColor kFlashDeep{226, 128, 10};
inline const QColor kAction{37, 99, 235};
inline const QColor kActionDeep{29, 70, 190};
inline const QColor kActionSoft{147, 180, 250};

// The board.
inline const QColor kBoard{22, 128, 72};
inline const QColor kBoardEdge{14, 94, 52};
inline const QColor kTrace{64, 170, 108};
inline const QColor kPad{222, 184, 92};

// Paper, folders and light surfaces.
inline const QColor kPaper{252, 252, 249};
inline const QColor kPaperEdge{150, 158, 170};
inline const QColor kPaperLine{196, 203, 213};
inline const QColor kCard{244, 246, 249};
inline const QColor kFolder{246, 190, 64};
inline const QColor kFolderBack{222, 156, 34};

// Status colours.
inline const QColor kGo{40, 170, 78};
inline const QColor kGoDeep{22, 122, 52};
inline const QColor kIdle{156, 162, 170};
inline const QColor kIdleDeep{104, 110, 120};
inline const QColor kStop{222, 52, 44};
inline const QColor kStopDeep{160, 28, 24};

// The window colour a keyed picture is drawn for: its edges are blended against it.
enum class Backdrop { Light, Dark };

inline const QColor& EdgeColour(Backdrop backdrop) {
    return backdrop == Backdrop::Dark ? kDialogDark : kDialog;
}

}  // namespace art::palette
