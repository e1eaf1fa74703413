// Program-wide state shared by every window. Set by the entry routine; changed by
// the windows as each of them says.
#pragma once

#include "levels/level.h"

#include <array>
#include <string>
#include <variant>

namespace lumor {

// Passes one value from a window to the one it opens or back: empty, a whole number
// (a start level index, or -1 from the solution finder) or a text (a pack file path).
class Handover {
public:
    void clear() { value_ = std::monostate{}; }
    void set(int n) { value_ = n; }
    void set(std::string text) { value_ = std::move(text); }
    bool empty() const { return std::holds_alternative<std::monostate>(value_); }
    bool isNumber() const { return std::holds_alternative<int>(value_); }
    bool isText() const { return std::holds_alternative<std::string>(value_); }
    // A number as such, a text read as a number (0 when it is none), empty as 0.
    int toInt() const;
    std::string toText() const;
    bool operator==(int n) const { return isNumber() && std::get<int>(value_) == n; }

private:
    std::variant<std::monostate, int, std::string> value_;
};

enum Option : int {
    OptAutostart = 0,
    OptEditorRightClickTakes = 1,
    OptTurboFaster = 2,
    OptParticles = 3,
    OptGameRightClickTakes = 4,
    OptAutoRedraw = 5,
    OptPositionFrame = 6,
    OptSound = 7,
    OptResetAfterFailure = 8,
};
inline constexpr int OptionCount = 9;

struct ProgramState {
    std::string AppFolder;  // the executable's folder, ending in "/" (native file name bytes)
    Handover handover;
    bool MusicOn = true;
    std::array<bool, OptionCount> Options{true, true, true, true, true, true, true, true, true};
    bool FolderWritable = false;
    std::string CurrentSong;  // path of the song last started (native file name bytes)
    Pack pack;                // Levels and PackHeader of the loaded pack
    std::string FinalMessage = DefaultFinalMessage;

    bool opt(Option o) const { return Options[static_cast<size_t>(o)]; }
};

// The one program-wide instance.
ProgramState& state();

}  // namespace lumor
