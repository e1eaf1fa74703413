#include "editor/history.h"

#include <algorithm>

namespace lumor {

History::History(std::size_t recordBudget)
    : budget_(recordBudget), mirror_(std::make_unique<Levels>()) {}

History::~History() = default;

void History::reset(const Levels& levels, const PackHeader& header, EditorPlace place) {
    *mirror_ = levels;
    mirrorHeader_ = header;
    mirrorPlace_ = place;
    steps_.clear();
    stored_ = 0;
    done_ = 0;
    mergeable_ = false;
}

void History::moveTo(int current) {
    if (current != mirrorPlace_.current) mergeable_ = false;
    mirrorPlace_.current = current;
}

bool History::record(const Levels& levels, const PackHeader& header, EditorPlace place,
                     const std::string& key) {
    Step step;
    step.key = key;
    for (int i = 0; i < Levels::Capacity; ++i) {
        if (levels[i] == (*mirror_)[i]) continue;
        step.before.records.emplace_back(i, (*mirror_)[i]);
        step.after.records.emplace_back(i, levels[i]);
        (*mirror_)[i] = levels[i];
    }
    if (header != mirrorHeader_) {
        step.before.header = mirrorHeader_;
        step.after.header = header;
        mirrorHeader_ = header;
    }
    step.before.place = mirrorPlace_;
    step.after.place = place;
    mirrorPlace_ = place;
    if (step.before.records.empty() && !step.before.header &&
        step.before.place.count == place.count)
        return false;

    while (steps_.size() > done_) {
        stored_ -= size(steps_.back());
        steps_.pop_back();
    }
    if (mergeable_ && !key.empty() && done_ > 0 && steps_.back().key == key) {
        stored_ -= size(steps_.back());
        merge(steps_.back(), std::move(step));
        if (changesNothing(steps_.back())) {
            steps_.pop_back();
            --done_;
            mergeable_ = false;
        } else {
            stored_ += size(steps_.back());
        }
        return true;
    }
    stored_ += size(step);
    steps_.push_back(std::move(step));
    while (stored_ > budget_ && steps_.size() > 1) {
        stored_ -= size(steps_.front());
        steps_.pop_front();
    }
    done_ = steps_.size();
    mergeable_ = true;
    return true;
}

std::optional<EditorPlace> History::undo(Levels& levels, PackHeader& header) {
    if (!canUndo()) return std::nullopt;
    mergeable_ = false;
    return apply(steps_[--done_].before, levels, header);
}

std::optional<EditorPlace> History::redo(Levels& levels, PackHeader& header) {
    if (!canRedo()) return std::nullopt;
    mergeable_ = false;
    return apply(steps_[done_++].after, levels, header);
}

EditorPlace History::apply(const Side& side, Levels& levels, PackHeader& header) {
    for (const auto& [i, record] : side.records) {
        levels[i] = record;
        (*mirror_)[i] = record;
    }
    if (side.header) {
        header = *side.header;
        mirrorHeader_ = *side.header;
    }
    mirrorPlace_ = side.place;
    return side.place;
}

void History::merge(Step& into, Step&& next) {
    for (auto& [i, record] : next.before.records) {
        const bool known = std::any_of(into.before.records.begin(), into.before.records.end(),
                                       [i = i](const auto& r) { return r.first == i; });
        if (!known) into.before.records.emplace_back(i, std::move(record));
    }
    for (auto& [i, record] : next.after.records) {
        auto it = std::find_if(into.after.records.begin(), into.after.records.end(),
                               [i = i](const auto& r) { return r.first == i; });
        if (it != into.after.records.end())
            it->second = std::move(record);
        else
            into.after.records.emplace_back(i, std::move(record));
    }
    if (next.before.header) {
        if (!into.before.header) into.before.header = std::move(next.before.header);
        into.after.header = std::move(next.after.header);
    }
    into.after.place = next.after.place;
}

bool History::changesNothing(const Step& step) {
    if (step.before.place.count != step.after.place.count) return false;
    if (step.before.header && step.before.header != step.after.header) return false;
    for (const auto& [i, record] : step.before.records) {
        const auto it = std::find_if(step.after.records.begin(), step.after.records.end(),
                                     [i = i](const auto& r) { return r.first == i; });
        if (it == step.after.records.end() || !(it->second == record)) return false;
    }
    return true;
}

}  // namespace lumor
