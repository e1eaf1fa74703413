#include "play/elements.h"

#include <cstring>

namespace lumor {

const Element* elementAtPalettePlace(int place) {
    for (const Element& e : Elements)
        if (e.palettePlace == place) return &e;
    return nullptr;
}

const Element* elementOfSourceChar(const char* utf8Char, size_t length) {
    for (const Element& e : Elements)
        if (std::strlen(e.sourceChar) == length && std::memcmp(e.sourceChar, utf8Char, length) == 0)
            return &e;
    return nullptr;
}

}  // namespace lumor
