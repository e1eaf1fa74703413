// The level pack file (".llp"): reading, header-only reading and writing, with the
// scrambled texts and the closing checksum.
#pragma once

#include "levels/level.h"

#include <string>
#include <vector>

namespace lumor {

class Random;

inline const std::string PackFormatLine = "Lumor Levelpack V.1.1";
// No reader takes a larger pack file and the writer writes none (101 levels of plain
// numbers take about 60 kB; the rest leaves room for long texts).
inline constexpr uint64_t MaxPackFileBytes = 1024 * 1024;
inline const std::string PackDamagedMessage =
    "Levelpack besch\xe4"
    "digt!";  // Windows-1252

// Scrambles a text for storage; false when a character's code plus its position
// (from 1) exceeds 255. Filler characters come from the random source.
bool ScrambleText(const std::string& plain, Random& random, std::string& stored);
// Whether ScrambleText can store the text (every code plus its position at most 255).
bool CanScramble(const std::string& plain);
// The inverse of ScrambleText. A stored line that ends where a filler is expected, or
// holds a character whose code is below its position, is malformed: the checked form
// returns false, the plain form returns what could be read up to that point.
bool UnscrambleText(const std::string& stored, std::string& plain);
std::string UnscrambleText(const std::string& stored);
int CharWeight(unsigned char c);
// Sum over the plain contents of a pack, as stored on its last line. 64 bits wide, so
// that no pack, however long its texts, wraps around.
int64_t PackChecksum(const PackHeader& header, const std::vector<LevelRecord>& levels);

struct PackContents {
    PackHeader header;
    std::vector<LevelRecord> levels;
};

struct PackReadResult {
    bool ok = false;          // false: the pack is damaged or cannot be read
    bool unreadable = false;  // !ok because the file could not be opened or read
    std::string message;      // Windows-1252, PackDamagedMessage when !ok
    PackContents contents;    // empty when !ok
};

// Reads a whole pack. Refuses (ok = false) a file that cannot be opened, is no regular file
// or larger than MaxPackFileBytes, ends before its checksum, holds a number outside the
// 16-bit range, ends a scrambled line where a filler is expected, holds more than 101
// levels or a level named "*" (the end marker's name), or whose checksum differs.
PackReadResult readPack(const std::string& path);
PackReadResult readPackFromBytes(const std::string& bytes);

// The title menu's list and preview: lines 2 and 6 (author and title), trimmed of blanks,
// not unscrambled and not checked; only the first six lines are read. ok = false when the
// file cannot be opened, is no regular file or is larger than MaxPackFileBytes.
struct PackHeaderPreview {
    bool ok = false;
    std::string author;
    std::string title;
};
PackHeaderPreview readPackHeader(const std::string& path);

struct PackWriteResult {
    bool ok = false;
    // !ok before anything was written: the contents cannot be stored, or the target is no
    // regular file or is read-only. Otherwise !ok is a failure while writing.
    bool refused = false;
    std::string message;  // Windows-1252: the German refusal or failure text when !ok
};

// Writes a pack atomically (saveFileAtomically: a hidden temporary file in the same folder,
// flushed to disk, then renamed over the target): a refused or failed save leaves an
// existing file of that name byte for byte. Refused before anything is written: more than
// 101 levels; a plain header text "*" or one holding a line break; a scrambled text
// ScrambleText cannot store, whose stored form holds a line break, or a PackPassword stored
// as "*"; a level named "*" (it would end the level list on reading); a pack larger than
// MaxPackFileBytes; a target that is no regular file (a link to one saves the file it leads
// to) or is read-only.
PackWriteResult writePack(const std::string& path, const PackHeader& header,
                          const std::vector<LevelRecord>& levels, Random& random);
// The bytes writePack would store, or the refusal of the contents.
PackWriteResult packBytes(const PackHeader& header, const std::vector<LevelRecord>& levels,
                          Random& random, std::string& bytes);

// Loads a pack for play into the program's list and header, and sets the final message
// (PackEndMessage, or the default text when that is empty). Returns the read result.
// A refused pack leaves the header empty and the list as it was.
PackReadResult loadPackInto(const std::string& path, Pack& pack, std::string& finalMessage);

}  // namespace lumor
