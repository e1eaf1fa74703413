#include "title/levelchoice.h"

#include <algorithm>

namespace lumor {

std::vector<LevelMark> levelMarks(const Progress& progress, const std::string& file,
                                  const std::string& title, int count) {
    std::vector<LevelMark> marks(static_cast<size_t>(std::max(count, 0)));
    if (marks.empty()) return marks;
    // A level remembered beyond the pack's end (it has become shorter) counts as none.
    int furthest = progress.furthest(file, title).value_or(0);
    if (furthest >= count) furthest = 0;
    for (int i = 0; i <= furthest; ++i) marks[static_cast<size_t>(i)].reached = true;
    for (int i : progress.wonLevels(file, title))
        if (i >= 0 && i < count) marks[static_cast<size_t>(i)] = {true, true};
    return marks;
}

}  // namespace lumor
