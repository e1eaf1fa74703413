// The level pack file (".llp"): reading, header-only reading and writing, with the
// scrambled texts and the closing checksum.
#pragma once

#include "levels/level.h"

#include <string>
#include <vector>

namespace lumor {

class Random;

inline const std::string PackFormatLine = "Lumor Levelpack V.1.1";
inline const std::string PackDamagedMessage = "Levelpack besch\xe4" "digt!";  // Windows-1252

// Scrambles a text for storage; false when a character's code plus its position
// (from 1) exceeds 255. Filler characters come from the random source.
bool ScrambleText(const std::string& plain, Random& random, std::string& stored);
std::string UnscrambleText(const std::string& stored);
int CharWeight(unsigned char c);
// Sum over the plain contents of a pack, as stored on its last line.
int32_t PackChecksum(const PackHeader& header, const std::vector<LevelRecord>& levels);

struct PackContents {
    PackHeader header;
    std::vector<LevelRecord> levels;
};

struct PackReadResult {
    bool ok = false;            // false: the pack is damaged or cannot be read
    std::string message;        // Windows-1252, PackDamagedMessage when !ok
    PackContents contents;
};

// Reads a whole pack. Refuses (ok = false) a file that cannot be opened, ends before its
// checksum, holds a number outside the 16-bit range, ends a scrambled line where a filler
// is expected, holds more than 101 levels, or whose checksum differs.
PackReadResult readPack(const std::string& path);
PackReadResult readPackFromBytes(const std::string& bytes);

// The title menu's list and preview: lines 2 and 6 (author and title), trimmed of blanks,
// not unscrambled and not checked. ok = false only when the file cannot be opened.
struct PackHeaderPreview {
    bool ok = false;
    std::string author;
    std::string title;
};
PackHeaderPreview readPackHeader(const std::string& path);

struct PackWriteResult {
    bool ok = false;
    std::string message;  // Windows-1252: the German refusal or failure text when !ok
};

// Writes a pack atomically (temporary file, then rename): a refused or failed save
// leaves an existing file of that name byte for byte.
PackWriteResult writePack(const std::string& path, const PackHeader& header,
                          const std::vector<LevelRecord>& levels, Random& random);
// The bytes writePack would store, or the refusal.
PackWriteResult packBytes(const PackHeader& header, const std::vector<LevelRecord>& levels,
                          Random& random, std::string& bytes);

// Loads a pack for play into the program's list and header, and sets the final message
// (PackEndMessage, or the default text when that is empty). Returns the read result.
PackReadResult loadPackInto(const std::string& path, Pack& pack, std::string& finalMessage);

}  // namespace lumor
