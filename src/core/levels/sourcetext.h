// The pieces of the level source format that reading and writing share: the board and
// piece characters, quoted texts and numbers. Used only by the level source's own files.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace lumor::sourcetext {

// Splits UTF-8 text into characters (code point sequences); false on invalid UTF-8.
bool splitUtf8(const std::string& s, std::vector<std::string>& out);
std::string trim(const std::string& s);

enum class Number { Ok, NotOne, TooSmall, TooLarge };
Number readInt(const std::string& text, long long lo, long long hi, int& out);
bool parseInt(const std::string& text, long long lo, long long hi, int& out);
std::vector<std::string> splitOn(const std::string& s, char sep);

// A Windows-1252 text as it stands behind "Key: ".
std::string quoteText(const std::string& cp);
// The inverse of quoteText; false with a message on a malformed text.
bool unquoteText(const std::string& value, std::string& cp, std::string& error);
// unquoteText for a text that goes into a pack, which cannot keep the character NUL.
bool packText(const std::string& value, std::string& cp, std::string& error);
// Splits "Key: value" at the first colon; false when the line has none.
bool splitKey(const std::string& line, std::string& key, std::string& value);

// The stock slot of a piece's character, and the character of a slot.
std::optional<int> slotOfSourceChar(const std::string& c);
std::string pieceText(int slot);
// "Stein x,y" of a recorded solution.
bool parsePiecePos(const std::string& part, int& slot, int& x, int& y);

}  // namespace lumor::sourcetext
