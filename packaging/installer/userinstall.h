// The per-user installer's work, without any window: where the player's own copy of the
// program folder goes, copying into it without touching what the player made there, and
// the desktop entry that starts the copy.
#pragma once

#include <filesystem>
#include <string>

namespace lumor::installer {

namespace fs = std::filesystem;

// The base of the player's own data: $XDG_DATA_HOME when it is an absolute path (the
// XDG base directories ignore relative ones), else $HOME/.local/share; empty when
// neither gives a folder. Either argument may be null.
fs::path userDataHome(const char* xdgDataHome, const char* home);

struct CopyResult {
    int copied = 0;     // files the copy lacked
    int renewed = 0;    // program files replaced because the installed ones differ
    int kept = 0;       // files already in the copy, left as they were
    std::string error;  // what failed (file and reason); empty on success
};

// Copies the program folder `from` into `to`, creating `to` when needed. A file the copy
// already holds belongs to the player (a pack changed in the editor, a skin) and stays,
// except the program files (those the owner may execute), which follow the installed
// ones. Names are matched without regard to letter case, as the game matches them. Each
// file arrives whole (written beside its place under a name made afresh, then renamed, so
// a link in its place is replaced, never written through), and the game's executable
// "Lumor" comes last, so a copy cut short never looks like a finished one. A copy folder,
// or a folder in it, that is a link is refused. Stops at the first failure; the error
// names the file and the reason in German.
CopyResult copyProgramFolder(const fs::path& from, const fs::path& to);

// One argument of a desktop entry's Exec key, quoted and escaped.
std::string execArgument(const std::string& path);

// The desktop entry for the copy in `folder`, made from the installed entry `installed`:
// Exec starts the copy through the installed launcher `launcher` (which brings the copy up
// to an updated installed game first), and the copy's executable itself once the launcher
// is gone (the installed game removed); without a launcher (a game run from its build
// folder) it starts the executable. Path is the copy, Icon is the copy's "Lumor.png" when
// there is one; every other line (names, comments, categories) stays.
std::string desktopEntryFor(const std::string& installed, const fs::path& folder,
                            const fs::path& launcher = {});

// Writes `content` through a temporary file beside `path` (made afresh) and a rename, so
// `path` is either the old file or the new one, and a link there is replaced. On failure
// the reason (German) is in `error`.
bool writeFileAtomically(const fs::path& path, const std::string& content, std::string& error);

}  // namespace lumor::installer
