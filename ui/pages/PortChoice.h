#pragma once

#include <string>
#include <vector>

// The choices of the configuration page, apart from the widgets.

// The first item that begins with `prefix`, ignoring case, searching from `start` to the end
// and then from 0; -1 when none does.
int FindPrefixFrom(const std::vector<std::string>& items, const std::string& prefix, int start);

// The number after the first three characters of a port name such as "COM12": leading blanks,
// an optional sign, then digits up to the first non-digit. 0 when there are no digits or the
// number does not fit.
int PortNumberFromName(const std::string& portName);

// The decimal value at the start of a baud-rate text, 0 when there is none.
int BaudRateFromText(const std::string& text);

// The baud rates offered, in list order; the last one is preselected.
const std::vector<std::string>& OfferedBaudRates();
