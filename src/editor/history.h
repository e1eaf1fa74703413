// The editor's undo and redo. The history keeps a mirror of the pack as of its last
// step; recording compares the pack with it and keeps only what changed (the records,
// the header, the number of levels and the level shown) as one step.
#pragma once

#include "levels/level.h"

#include <cstddef>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace lumor {

// Where the editor stands: the number of levels its list shows and the level on the board.
struct EditorPlace {
    int count = 0;
    int current = 0;
    bool operator==(const EditorPlace&) const = default;
};

class History {
public:
    // Keeps the newest steps that hold at most `recordBudget` records between them (a
    // painted cell takes two, an insertion at the front of a full pack about two hundred);
    // the newest step is always kept.
    explicit History(std::size_t recordBudget = 20000);
    ~History();

    // Starts afresh from this state, forgetting every step (editor start, a pack opened).
    void reset(const Levels& levels, const PackHeader& header, EditorPlace place);
    // Another level is shown; no change to the pack. The next step is not merged.
    void moveTo(int current);

    // Records what changed since the last step (or reset) as one step and drops the steps
    // that could be redone. A change with the same non-empty key as the step just
    // recorded joins it (typing in one field, dragging one bar). False when nothing changed.
    bool record(const Levels& levels, const PackHeader& header, EditorPlace place,
                const std::string& key = {});

    bool canUndo() const { return done_ > 0; }
    bool canRedo() const { return done_ < steps_.size(); }
    std::size_t steps() const { return steps_.size(); }

    // Puts the pack back as it was before the last step (after the next undone one) and
    // returns the place to show; nullopt when there is nothing to undo (redo).
    std::optional<EditorPlace> undo(Levels& levels, PackHeader& header);
    std::optional<EditorPlace> redo(Levels& levels, PackHeader& header);

private:
    struct Side {
        std::vector<std::pair<int, LevelRecord>> records;
        std::optional<PackHeader> header;
        EditorPlace place;
    };
    struct Step {
        Side before, after;
        std::string key;
    };

    EditorPlace apply(const Side& side, Levels& levels, PackHeader& header);
    static void merge(Step& into, Step&& next);
    static bool changesNothing(const Step& step);
    static std::size_t size(const Step& step) { return 2 * step.before.records.size(); }

    std::size_t budget_;
    std::size_t stored_ = 0;          // records held by the steps
    std::unique_ptr<Levels> mirror_;  // about 60 KB: kept off the stack
    PackHeader mirrorHeader_;
    EditorPlace mirrorPlace_;
    std::deque<Step> steps_;
    std::size_t done_ = 0;
    bool mergeable_ = false;
};

}  // namespace lumor
