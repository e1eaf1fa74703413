// The target side of the import window: the levels of the pack being edited with the
// selection of their list entries. Every operation changes Levels at once.
#pragma once

#include "levels/level.h"

#include <vector>

namespace lumor {

struct ImportTarget {
    explicit ImportTarget(Levels& l, int count = 0)
        : levels(l), selected(static_cast<size_t>(count), false) {}

    Levels& levels;
    std::vector<bool> selected;  // one per level: the entries of the target list
    int current = -1;            // the list's current entry

    int count() const { return static_cast<int>(selected.size()); }
};

struct CopyResult {
    int copied = 0;
    bool full = false;  // some selected levels did not fit behind 101 levels
};

// Copies the selected source levels, in source order, behind the last target level; each
// new entry is selected, earlier selections stay. Stops when the target holds 101 levels.
CopyResult copyLevels(ImportTarget& target, const std::vector<LevelRecord>& source,
                      const std::vector<bool>& sourceSelected);

// Deletes the selected target levels, the highest first, without a question. The last
// remaining level is never deleted: true when a selected level had to stay for that (the
// designer is told once); its entry is deselected.
bool deleteSelected(ImportTarget& target);

// Moves every selected level up (down) by one, its selection with it, so that a block
// moves as a whole. A selected first (last) level stays; the selected level below (above)
// it is still exchanged with it, so the first two selected levels change places.
void moveSelectedUp(ImportTarget& target);
void moveSelectedDown(ImportTarget& target);

}  // namespace lumor
