// "Fortschritt.dat": the furthest level the player has reached in each pack, so that the
// password box can offer that level's password to a returning player, and the levels won.
// Lines end in CR LF; fields are separated by tabs, with backslash escapes for tab, CR, LF
// and the backslash itself. Three kinds of line:
//   <level>  TAB <file> TAB <title>                 the furthest level reached (from 1)
//   "+"      TAB <file> TAB <title> TAB <levels>    the levels won: numbers from 1, by ","
//   "aus"    TAB <folder>                           a program folder whose file was taken over
// <file> is the pack's file name as the file system spells it, <title> its title
// (Windows-1252, as the pack holds it). The first kind is all earlier versions wrote, and
// they ignore the others (a line without exactly two tabs, or without a number in front,
// reads as nothing); likewise any line that does not read as one of these is ignored.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <set>
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

    // Notes that the level (an index) was won; it counts as reached as well.
    void win(const std::string& file, const std::string& title, int level);
    // The levels (indexes) won in the pack, in ascending order.
    std::vector<int> wonLevels(const std::string& file, const std::string& title) const;

    // Takes in what `other` holds: per pack the further level and every level won.
    void merge(const Progress& other);

    // Whether the progress file of the program folder `folder` has been taken over.
    bool tookOver(const std::string& folder) const;
    void noteTakenOver(const std::string& folder) { takenOver_.insert(folder); }

private:
    struct Entry {
        int level = 0;  // index
        std::string file;
        std::string title;
        std::set<int> won;  // indexes
    };
    // The key of a pack in `index_`: its file name folded for comparing and its title.
    static std::string keyOf(const std::string& file, const std::string& title);

    std::vector<Entry> entries_;  // in the order first reached, as the file keeps them
    std::unordered_map<std::string, size_t> index_;  // into entries_
    std::set<std::string> takenOver_;
};

// Where the progress lives: in the user's data folder, whatever the install, so a read-only
// program folder keeps progress as well. A program folder that kept its own file before is
// taken over once: merged, noted in the user's file, and left as it is.
class ProgressStore {
public:
    // `folder`: where the file is kept (empty: nowhere, nothing is kept); `programFolder`:
    // whose earlier file is taken over (empty, or the same as `folder`: none).
    ProgressStore(const std::string& folder, std::string programFolder);

    // The progress kept, with the program folder's file taken in the first time (and that
    // saved at once, so it is taken only once). A missing or unreadable file is no progress.
    Progress load() const;
    // Saves atomically, never through a link; false when that fails.
    bool save(const Progress& progress) const;

private:
    std::string path_;
    std::string programPath_;
    std::string programFolder_;
};

}  // namespace lumor
