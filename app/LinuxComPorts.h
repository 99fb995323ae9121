#pragma once

#include <optional>
#include <string>

#include "app/ComPorts.h"

// The Linux method: the hardware serial devices and every live link of the port directory,
// each under the COM number that opens it, in number order. ttyS<k> is COM<k+1> unless a link
// of that name says otherwise; every other device is opened through a link, which is created
// on its first sighting and keyed by the device's by-id name, so its number survives restarts
// and re-plugging. A device's friendly name is its adapter's name and serial number with the
// COM number, never its node, so it too survives re-plugging. A device whose link cannot be
// made is left out and its failure returned after the rest of the list is filled.
std::optional<std::string> AppendLinuxComPorts(ComPortList& list,
                                               const PortEnvironment& environment);
