// Core pictures (RgbImage) at the window boundary.
#pragma once

#include "app/bitmap.h"

#include <QImage>

namespace lumor {

// An RGB32 image with the same pixels.
QImage toQImage(const RgbImage& image);
// The pixels of any QImage (alpha dropped); empty for a null image.
RgbImage fromQImage(const QImage& image);

}  // namespace lumor
