// The user's own data folder for what belongs to the player rather than to a program
// folder: progress, the editor's recovery copies, the single-instance lock. It is
// "$XDG_DATA_HOME/lumor" (an absolute XDG_DATA_HOME only, as the XDG rules say) or
// "~/.local/share/lumor", the home folder taken from HOME or, failing that, from the user
// database. Paths are bytes; nothing here assumes UTF-8.
#pragma once

#include <string>

namespace lumor {

// The folder's path without a trailing "/" (whether or not it exists); empty when no home
// folder can be found.
std::string userDataPath();

// The folder, created (mode 0700, its parents as needed) when missing: empty when it cannot
// be made or is not a folder of this user that only this user may write to. A link in its
// place is refused, so nothing is ever written into a folder someone else chose.
std::string userDataFolder();

}  // namespace lumor
