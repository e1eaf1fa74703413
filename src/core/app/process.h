// Starting another program by its path, as bytes (a folder name need not be UTF-8).
#pragma once

#include <string>

namespace lumor {

// Starts the program at `path` in its own folder, without arguments and without waiting
// for it: it runs on after this program ends and is never left a zombie. False when it
// could not be started (missing, not executable).
bool startDetached(const std::string& path);

}  // namespace lumor
