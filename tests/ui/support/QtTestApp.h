#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QWidget>

namespace uitest {

// The one QApplication of a test program, on the offscreen platform unless the caller chose
// another one. Safe to call from every test.
QApplication& EnsureApplication();

// Base of GUI test fixtures: the application exists before any member widget.
class QtTest : public ::testing::Test {
protected:
    QtTest() { EnsureApplication(); }
};

// Runs the event loop until `done` holds or `limitMs` passed; true when `done` held.
template <class Predicate>
bool PumpUntil(Predicate done, int limitMs = 20000);

// The widget's pixels as an image.
QImage Snapshot(QWidget& widget);

// Saves a grab of `widget` as <build>/screenshots/<name>.png.
void SaveScreenshot(QWidget& widget, const QString& name);

}  // namespace uitest

#include "tests/ui/support/QtTestApp.inl"
