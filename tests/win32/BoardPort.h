#pragma once

// The COM number of the virtual board that the test script mapped for this run; 0 when none.
unsigned BoardComNumber();
