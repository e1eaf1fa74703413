#include "title/links.h"

#include "levels/cp1252.h"

namespace lumor {

bool packLinkMayOpen(const std::string& link) {
    const std::string upper = cp1252::toUpper(link);
    size_t schemeLength = 0;
    for (const char* scheme : {"HTTP://", "HTTPS://", "MAILTO:"}) {
        const std::string s(scheme);
        if (upper.compare(0, s.size(), s) == 0) schemeLength = s.size();
    }
    if (schemeLength == 0 || upper.size() <= schemeLength) return false;
    for (unsigned char c : link)
        if (c <= 0x20 || c == 0x7F) return false;
    return !(upper.size() >= 4 && upper.compare(upper.size() - 4, 4, ".EXE") == 0);
}

}  // namespace lumor
