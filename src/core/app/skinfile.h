// Skin bitmaps from the "Skins" folder: one check decides both what the skin list offers
// and what the skin store loads, so every listed skin loads completely.
#pragma once

#include "app/bitmap.h"

#include <optional>
#include <string>
#include <vector>

namespace lumor {

inline constexpr int SkinMinWidth = 626;  // 19 squares every 33 pixels, the last without gap
inline constexpr int SkinMinHeight = 32;

// The skin at `path` (a native path) when it is a regular file of at most
// MaxBitmapFileBytes that decodes completely and holds the 19 squares.
std::optional<RgbImage> readSkin(const std::string& path);

// The native names of the files in `folder` that readSkin takes, in listing order.
std::vector<std::string> listSkins(const std::string& folder);

}  // namespace lumor
