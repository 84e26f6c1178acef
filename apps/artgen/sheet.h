// The art sheet: every piece at twice its size on one picture, the
// background once more with the main dialog's control rectangles laid over
// it, and the symmetry icons with their numbers.
#pragma once

#include <vector>

#include "art.h"

namespace artgen {

Canvas ArtSheet(const std::vector<ArtPiece>& pieces, const ArtFonts& fonts);

}  // namespace artgen
