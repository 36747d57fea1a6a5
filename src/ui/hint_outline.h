#pragma once

#include "analysis/hint.h"
#include "settings/settings.h"

#include <QImage>

#include <vector>

namespace peterin {

// Draws the suggested placement over a painted field: an outline in each blob's colour around
// the cell it would come to rest in, the cell itself left as it is.
void paintHintOutline(QImage& image, const Settings& s,
                      const std::vector<analysis::LandedBlob>& blobs);

} // namespace peterin
