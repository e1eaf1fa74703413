// Windows-1252 text: the byte form of every text in pack files and Config.cfg.
#pragma once

#include <optional>
#include <string>

namespace lumor::cp1252 {

// Upper case of a Windows-1252 text, byte for byte (a-z, à-þ without ÷, š, œ, ž, ÿ).
std::string toUpper(const std::string& text);

// Windows-1252 bytes to UTF-8. The five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same value.
std::string toUtf8(const std::string& text);

// UTF-8 to Windows-1252; nullopt when the text holds a character the code page
// cannot store, or is not valid UTF-8.
std::optional<std::string> fromUtf8(const std::string& utf8);

}  // namespace lumor::cp1252
