#include "levels/level.h"

#include "levels/cp1252.h"

#include <stdexcept>

namespace lumor {

Levels::Levels() { setEndMarker(0); }

int Levels::count() const {
    for (int i = 0; i < Capacity; ++i)
        if (records_[static_cast<size_t>(i)].Name == EndMarkerName) return i;
    return MaxLevels;  // not reachable: the list always holds a marker
}

void Levels::setEndMarker(int n) {
    if (n < 0 || n > MaxLevels) throw std::out_of_range("level list holds at most 101 levels");
    records_[static_cast<size_t>(n)] = LevelRecord{};
    records_[static_cast<size_t>(n)].Name = EndMarkerName;
}

void Levels::assign(const std::vector<LevelRecord>& levels) {
    if (levels.size() > static_cast<size_t>(MaxLevels))
        throw std::out_of_range("level list holds at most 101 levels");
    for (size_t i = 0; i < levels.size(); ++i) records_[i] = levels[i];
    setEndMarker(static_cast<int>(levels.size()));
}

std::vector<LevelRecord> Levels::toVector() const {
    const int n = count();
    return std::vector<LevelRecord>(records_.begin(), records_.begin() + n);
}

std::optional<int> Levels::findByPassword(const std::string& text) const {
    const std::string wanted = cp1252::toUpper(text);
    if (wanted.empty()) return std::nullopt;
    for (int i = 0; !isEndMarker(i); ++i)
        if (cp1252::toUpper(records_[static_cast<size_t>(i)].Password) == wanted) return i;
    return std::nullopt;
}

}  // namespace lumor
