#include "editor/importlist.h"

#include "editor/levellist.h"

namespace lumor {

namespace {

// Level `from` changes places with its neighbour `to`, the selections with them; the
// moved level's entry becomes the current one.
void move(ImportTarget& t, int from, int to) {
    swapLevels(t.levels, from, to);
    std::vector<bool>::swap(t.selected[static_cast<size_t>(from)],
                            t.selected[static_cast<size_t>(to)]);
    t.current = to;
}

}  // namespace

CopyResult copyLevels(ImportTarget& target, const std::vector<LevelRecord>& source,
                      const std::vector<bool>& sourceSelected) {
    CopyResult r;
    for (size_t i = 0; i < source.size() && i < sourceSelected.size(); ++i) {
        if (!sourceSelected[i]) continue;
        const int n = target.count();
        if (!canAddLevel(n)) {
            r.full = true;
            break;
        }
        target.levels[n] = source[i];
        target.selected.push_back(true);
        ++r.copied;
    }
    return r;
}

bool deleteSelected(ImportTarget& target) {
    bool keptLast = false;
    for (int i = target.count() - 1; i >= 0; --i) {
        if (!target.selected[static_cast<size_t>(i)]) continue;
        target.selected[static_cast<size_t>(i)] = false;
        int count = target.count();
        if (!removeLevel(target.levels, count, i)) {
            keptLast = true;
            continue;
        }
        target.selected.pop_back();
        if (target.current >= count) target.current = count - 1;
    }
    return keptLast;
}

void moveSelectedUp(ImportTarget& target) {
    for (int i = 1; i < target.count(); ++i)
        if (target.selected[static_cast<size_t>(i)]) move(target, i, i - 1);
}

void moveSelectedDown(ImportTarget& target) {
    for (int i = target.count() - 2; i >= 0; --i)
        if (target.selected[static_cast<size_t>(i)]) move(target, i, i + 1);
}

}  // namespace lumor
