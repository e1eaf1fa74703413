// What the player chose about the board's appearance beyond Config.cfg, whose fixed layout
// other programs read: a small file of its own in the user's data folder ("Ansicht.cfg",
// lines "NAME=0|1"), so the choice follows the player from one install to the next.
#pragma once

#include "app/files.h"

#include <string>

namespace lumor {

inline constexpr const char* ViewSettingsName = "Ansicht.cfg";

struct ViewSettings {
    bool grid = false;  // a faint grid over the board's free cells, so cells can be counted
};

// The settings kept in `folder`; the defaults for what is missing, unreadable or garbled.
ViewSettings readViewSettings(const std::string& folder);
// Saves them into `folder` (atomically, never through a link).
SaveStatus saveViewSettings(const std::string& folder, const ViewSettings& settings);

}  // namespace lumor
