// The editor's level list over the program's Levels: the pack being edited is
// Levels(0) .. Levels(count - 1), where count is the number of entries its list shows.
// The records behind the last level are never cleared here; they keep whatever they held.
#pragma once

#include "levels/level.h"

#include <string>

namespace lumor {

// The list entry of level `index`: its number (index + 1), ". " and the name (Windows-1252).
std::string levelEntry(int index, const std::string& name);

// A new level: every cell Empty, the whole stock 0, named "Noname", with the password
// "Level" and its 1-based position at the time it is made (never renumbered later).
LevelRecord newLevel(int position);

// Whether one more level fits beside `count` levels (at most 101).
constexpr bool canAddLevel(int count) { return count < MaxLevels; }

// "Neues Level einfügen": the levels from `at` on move one place down and a new level
// takes index `at`. Does nothing when the pack is full; false then.
bool insertLevel(Levels& levels, int& count, int at);
// "Level anschließen": a new level behind the last one. False when the pack is full.
bool appendLevel(Levels& levels, int& count);
// Removes level `at`: the levels behind it move one place up. The record that was the
// last level stays as it is, now behind the list. False (nothing removed) when only
// one level is left or `at` is outside the list.
bool removeLevel(Levels& levels, int& count, int at);
// Exchanges the contents of two levels.
void swapLevels(Levels& levels, int a, int b);

}  // namespace lumor
