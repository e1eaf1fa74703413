// "Hinweise.dat": which of the first levels' notes the player has seen, so that each is
// shown once only. It lives beside the progress in the user's data folder; one note's key a
// line, lines ending in CR LF. A missing or unreadable file is no note seen.
#pragma once

#include <set>
#include <string>

namespace lumor {

inline const std::string SeenNotesFileName = "Hinweise.dat";
// How many of the first pack's first levels have a note.
inline constexpr int NotedLevels = 3;

class SeenNotes {
public:
    // `folder`: where the file is kept (empty: nowhere, every note counts as unseen and
    // nothing is kept).
    explicit SeenNotes(const std::string& folder);

    // The key of the note of a level (an index) of a pack, by its file name as the file
    // system spells it (compared without regard to letter case).
    static std::string keyOf(const std::string& packFile, int level);

    bool seen(const std::string& key) const;
    // Notes the key as seen and saves at once, atomically and never through a link; false
    // when the file could not be written (the note is still seen for this run).
    bool markSeen(const std::string& key);

private:
    std::string path_;
    std::set<std::string> keys_;
};

}  // namespace lumor
