#pragma once

class QLabel;
class QWidget;

// A one-line label whose text is wider than its place in the template (the desktop's fonts
// run wider than the ones the template was drawn for) grows to show all of it: to the right
// when left-aligned, to the left when right-aligned, to both sides when centred. It never
// shrinks and never wraps.
void FitLabelToText(QLabel& label);

// Fits every label of `dialog` that shows one line of text.
void FitOneLineLabels(QWidget& dialog);
