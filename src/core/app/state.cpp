#include "app/state.h"

#include <cstdlib>

namespace lumor {

int Handover::toInt() const {
    if (const int* n = std::get_if<int>(&value_)) return *n;
    if (const std::string* s = std::get_if<std::string>(&value_)) return std::atoi(s->c_str());
    return 0;
}

std::string Handover::toText() const {
    if (const int* n = std::get_if<int>(&value_)) return std::to_string(*n);
    if (const std::string* s = std::get_if<std::string>(&value_)) return *s;
    return {};
}

ProgramState& state() {
    static ProgramState s;
    return s;
}

}  // namespace lumor
