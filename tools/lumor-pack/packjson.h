// The JSON form of a level pack, shared by lumor-pack's commands:
// {"header":{"author","remark","endMessage","link","title","password"},
//  "levels":[{"name","password","cells":[20 arrays of 12 codes, x outer, y inner],
//             "stock":[16 numbers]}]}
// Texts are UTF-8 in JSON and Windows-1252 in the pack; every error text here is UTF-8.
#pragma once

#include "levels/level.h"
#include "levels/packfile.h"

#include <nlohmann/json.hpp>

#include <string>

namespace lumorpack {

// Ordered, so that dump writes the keys in the order above.
using Json = nlohmann::ordered_json;

Json levelToJson(const lumor::LevelRecord& level);
Json packToJson(const lumor::PackContents& pack);

// Strict conversions: every key present with the right type, no unknown keys, numbers
// within the signed 16-bit range, texts that Windows-1252 can hold. On failure the error
// names the place, e.g. "levels[2].cells[19][11]: ...".
bool levelFromJson(const Json& json, lumor::LevelRecord& out, std::string& error,
                   const std::string& where = "level");
bool packFromJson(const Json& json, lumor::PackContents& out, std::string& error);

// JSON and level sources larger than this are refused (a pack of 101 levels takes well
// under 1 MB in either form).
inline constexpr uint64_t MaxInputFileBytes = 8 * 1024 * 1024;

// Reads an input file named on the command line: a regular file of at most
// MaxInputFileBytes. On failure the message goes to standard error and exitCode is
// ExitUsage (cannot be read, no regular file) or ExitRefused (too large).
bool readInputArg(const std::string& file, std::string& bytes, int& exitCode);

// A pack's JSON nests five lists and objects deep, and none but the list of levels holds
// more than 20 entries; far more than this is no pack.
inline constexpr size_t MaxJsonDepth = 16;
inline constexpr size_t MaxJsonEntries = 256;

// Parses JSON strictly, in time and memory linear in the text: an object holding a key
// twice is refused, as are a number beyond any that JSON readers hold, nesting deeper than
// MaxJsonDepth, other lists and objects with more than MaxJsonEntries entries and a pack's
// "levels" with more than 101 (before any of them is looked at). On failure the error says
// why (UTF-8).
bool parseJson(const std::string& text, Json& out, std::string& error);

// Reads a pack file named on the command line. On failure the message goes to standard
// error and exitCode is ExitRefused for a damaged pack or ExitUsage for a file that
// cannot be read.
bool loadPackArg(const std::string& file, lumor::PackContents& out, int& exitCode);

// Reads a pack and picks the level with this 1-based number (a decimal argument as typed);
// failures as loadPackArg, a number that is none or out of range giving ExitUsage.
bool loadLevelArg(const std::string& file, const std::string& levelNumber1Based,
                  lumor::LevelRecord& out, int& exitCode);

// A Windows-1252 message (such as the pack's German texts) for the terminal.
std::string terminalText(const std::string& cp1252Text);

}  // namespace lumorpack
