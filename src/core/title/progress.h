// "Fortschritt.dat": the furthest level the player has reached in each pack, so that the
// password box can offer that level's password to a returning player. Lines ending in
// CR LF, one pack a line: the level number (from 1), the pack's file name (as the file
// system spells it) and its title (Windows-1252, as the pack holds it), separated by tabs,
// with backslash escapes for tab, CR, LF and the backslash itself. A line that does not
// read as such is ignored.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace lumor {

inline const std::string ProgressFileName = "Fortschritt.dat";
// A line for each pack played; no reader takes more.
inline constexpr uint64_t MaxProgressFileBytes = 1024 * 1024;

class Progress {
public:
    // A pack is known by its file name (compared without regard to letter case, as every
    // file name of the program) and its title (exactly), so that another pack saved under
    // the same name does not inherit the progress.
    static Progress parse(const std::string& text);
    std::string format() const;

    // The index of the furthest level reached in the pack, if any.
    std::optional<int> furthest(const std::string& file, const std::string& title) const;
    // Notes that the level (an index) was reached; true when that is further than before.
    // A level remembered at or beyond `levelCount` (the pack has become shorter) counts
    // as none.
    bool reach(const std::string& file, const std::string& title, int level,
               int levelCount = std::numeric_limits<int>::max());

private:
    struct Entry {
        int level = 0;  // index
        std::string file;
        std::string title;
    };
    // The key of a pack in `index_`: its file name folded for comparing and its title.
    static std::string keyOf(const std::string& file, const std::string& title);

    std::vector<Entry> entries_;  // in the order first reached, as the file keeps them
    std::unordered_map<std::string, size_t> index_;  // into entries_
};

}  // namespace lumor
