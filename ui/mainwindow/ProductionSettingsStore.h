#pragma once

#include "control/ProductionStation.h"

// The window's production settings, kept with the program's other settings so that a station
// started again numbers and records its boards as before. A value not stored (or not sound)
// reads as the default: no serial numbers, no log.
ProductionSettings ReadProductionSettings();
// False when any value could not be stored.
bool SaveProductionSettings(const ProductionSettings& settings);
