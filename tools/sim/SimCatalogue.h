#pragma once

#include <string>

namespace board {

// The catalogue pelorant-sim uses without --catalogue: $PELORANT_CATALOGUE, else the one
// installed beside the program (../share/pelorant/), wherever the tree was installed or moved.
std::string DefaultCataloguePath();

}  // namespace board
