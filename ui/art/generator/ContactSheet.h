#pragma once

#include <QImage>
#include <vector>

#include "ArtSet.h"

namespace art {

// All pieces at twice their size, pixel for pixel, each with its file name and caption.
QImage ContactSheet(const std::vector<ArtPiece>& pieces);

}  // namespace art
