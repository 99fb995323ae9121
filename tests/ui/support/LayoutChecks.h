#pragma once

#include <QStringList>

#include "ui/DialogTemplate.h"

class QWidget;

namespace uitest {

// Every Qt style this machine has: Fusion, Windows and the installed theme plug-ins.
QStringList InstalledStyles();

// Checks a dialog built from `dialogTemplate` as a user would look at it: no text of a label,
// check box or button is cut, no drop-down is squeezed below the style's height, and no two
// controls that the template keeps apart overlap.
void ExpectNothingCutOrCovered(const QWidget& dialog, const dialog::DialogTemplate& dialogTemplate);

}  // namespace uitest
