// Skin bitmaps come from anyone: the bitmap reader must refuse damaged data, never read
// beyond it. Round trip of what it accepts through the writer as a bonus check.
#include "app/bitmap.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const auto image = lumor::decodeBmp(bytes);
    if (image) {
        if (image->pixels.size() !=
                static_cast<size_t>(image->width) * static_cast<size_t>(image->height) ||
            static_cast<int64_t>(image->pixels.size()) > lumor::MaxBitmapPixels)
            std::abort();
        const auto again = lumor::decodeBmp(lumor::encodeBmp(*image));
        if (!again || !(*again == *image)) std::abort();
    }
    return 0;
}
