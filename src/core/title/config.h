// "Config.cfg": the chosen pack and skin, the music switch and the option switches of the
// edition (nine, or eight in the earlier release), one value per line, Windows-1252 text
// with CR LF line ends.
#pragma once

#include "app/edition.h"
#include "app/state.h"

#include <array>
#include <cstdint>
#include <string>

namespace lumor {

inline const std::string ConfigFileName = "Config.cfg";
// Twelve lines, eleven in the earlier release.
inline int configLineCount() { return 3 + edition().optionCount; }

struct Config {
    int32_t PackIndex = 0;
    int32_t SkinIndex = 0;
    bool MusicOn = true;
    std::array<bool, OptionCount> Options{true, true, true, true, true, true, true, true, true};
    bool operator==(const Config&) const = default;
};

// The lines: both indexes in decimal, then "#TRUE#" or "#FALSE#" for the music switch and
// each option of the edition, every line ended by CR LF.
std::string formatConfig(const Config& config);

// Reads the values in file order into `config` and stops at the first line that is missing
// or does not hold a value of its kind; the values read before it stay, the rest keep what
// `config` held. Returns how many values were taken. Indexes are signed 32-bit decimals with
// blanks around them allowed; switches are "#TRUE#"/"#FALSE#" in any letter case, or a whole
// number (0 false, anything else true). Lines may end in CR LF or LF.
int parseConfig(const std::string& text, Config& config);

// "Config.cfg" is twelve short lines; a larger file is not one of ours.
inline constexpr uint64_t MaxConfigFileBytes = 4096;

// Reads the file with parseConfig. False, leaving `config` as it was, when it is missing,
// no regular file or larger than MaxConfigFileBytes.
bool readConfigFile(const std::string& path, Config& config);
// Saves the file atomically (a failed save leaves the old one whole) and never through a
// link; false when it was not saved.
bool saveConfigFile(const std::string& path, const Config& config);

}  // namespace lumor
