// The player's own copy of an installed game remembers where it was copied from, so that
// once the installed game has been removed (the package uninstalled) the copy can say so,
// once, and go on by itself. The note is a small file in the copy's folder holding the
// installed program folder's path (bytes) and a line end.
#pragma once

#include "app/files.h"

#include <string>

namespace lumor {

inline constexpr const char* InstallOriginName = ".lumor-herkunft";

// Notes in `copyFolder` that it was copied from the program folder `installedFolder`.
SaveStatus noteInstallOrigin(const std::string& copyFolder, const std::string& installedFolder);

// The installed program folder that `programFolder` was copied from, when it has a note and
// that folder no longer holds the game; the note is removed then, so this answers once.
// Empty otherwise (no note, an unreadable one, the installed game still there).
std::string takeRemovedInstallOrigin(const std::string& programFolder);

}  // namespace lumor
