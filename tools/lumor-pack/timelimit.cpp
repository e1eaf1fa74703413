#include "timelimit.h"

#include <cmath>
#include <cstdlib>
#include <iostream>

namespace lumorpack {

bool parseTimeLimit(const std::string& text, double& seconds) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    // strtod gives HUGE_VAL for 1e400: still a positive number, still a limit.
    if (end == text.c_str() || *end != '\0' || std::isnan(value) || value <= 0) {
        std::cerr << '"' << text << "\" ist keine Zeit in Sekunden (eine Zahl über 0)\n";
        return false;
    }
    seconds = value;
    return true;
}

}  // namespace lumorpack
