// The editor's pack files: the names the save dialog accepts and the levels it writes.
#pragma once

#include "levels/packfile.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace lumor {

class Random;

// The file name the save dialog stores under: ".llp" is appended unless the name already
// ends in it in any letter case ("pack.LLP" stays, "pack.llp.txt" gets ".llp").
std::string withPackExtension(const std::string& name);
// The longest file name a pack can be saved under, in bytes: the atomic save writes a
// temporary ".NAME.lumor-XXXXXX" beside it first, and that must fit the 255 bytes a file
// name may have.
inline constexpr size_t MaxPackNameBytes = 255 - 14;
// The file name part of a path.
std::string fileNameOf(const std::string& path);
// Whether the name holds one of the nine characters no file name may hold:
// \ / : * ? " < > |
bool hasForbiddenCharacter(const std::string& name);

// The first character of a text stored scrambled (a level's name or password, the
// pack's password) that the pack cannot store: its stored byte, code plus position,
// would pass 255 or be a line break (CR or LF), which would end the line early.
struct Unstorable {
    size_t position = 0;  // from 1
    unsigned char code = 0;
    bool lineBreak = false;  // else the stored byte would pass 255
};
std::optional<Unstorable> firstUnstorable(const std::string& text);

// The first other level among levels 0 .. count - 1 whose password is that of level
// `index` in the title menu's eyes (without regard to letter case), or -1. The title menu
// finds the first of them, so the later one is reached by no password.
int samePassword(const Levels& levels, int count, int index);

// Writes a pack; writePack unless a test puts another writer in its place.
using PackWriter = std::function<PackWriteResult(const std::string& path, const PackHeader&,
                                                 const std::vector<LevelRecord>&, Random&)>;

// Levels 0 .. count - 1 of the list, as a pack holds them.
std::vector<LevelRecord> packLevels(const Levels& levels, int count);

}  // namespace lumor
