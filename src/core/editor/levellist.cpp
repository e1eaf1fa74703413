#include "editor/levellist.h"

#include <utility>

namespace lumor {

std::string levelEntry(int index, const std::string& name) {
    return std::to_string(index + 1) + ". " + name;
}

LevelRecord newLevel(int position) {
    LevelRecord r;
    r.Name = "Noname";
    r.Password = "Level" + std::to_string(position);
    return r;
}

bool insertLevel(Levels& levels, int& count, int at) {
    if (!canAddLevel(count) || at < 0 || at > count) return false;
    ++count;
    for (int i = count - 1; i > at; --i) levels[i] = levels[i - 1];
    levels[at] = newLevel(at + 1);
    return true;
}

bool appendLevel(Levels& levels, int& count) {
    if (!canAddLevel(count)) return false;
    levels[count] = newLevel(count + 1);
    ++count;
    return true;
}

bool removeLevel(Levels& levels, int& count, int at) {
    if (count <= 1 || at < 0 || at >= count) return false;
    for (int i = at + 1; i < count; ++i) levels[i - 1] = levels[i];
    --count;
    return true;
}

void swapLevels(Levels& levels, int a, int b) { std::swap(levels[a], levels[b]); }

}  // namespace lumor
