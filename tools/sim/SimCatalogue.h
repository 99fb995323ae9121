#pragma once

#include <string>

namespace board {

// The catalogue pelorant-sim uses without --catalogue: $PELORANT_CATALOGUE, else the one
// installed beside the program (../share/pelorant/), else the one of the source tree.
std::string DefaultCataloguePath();

}  // namespace board
