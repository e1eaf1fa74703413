// What the title menu decides without its window: the choices it starts with, the pack
// that stands in for a damaged one, and how a typed password is read.
#pragma once

#include "title/config.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace lumor {

// The six menu entries, as MenuChoice names them (-1: none chosen).
enum MenuEntry : int {
    MenuStart = 0,
    MenuPasswort = 1,
    MenuEditor = 2,  // "Install" on a read-only program folder
    MenuLevelPack = 3,
    MenuSkin = 4,
    MenuOption = 5,
};

// An index into a list of `count` entries; 0 when it lies outside the list.
int32_t clampToList(int32_t index, int count);

// The choices the title menu starts with. A writable folder starts from the first pack and
// skin and lets `read` put what Config.cfg holds over them; a read-only folder keeps the
// current choices. Indexes outside their lists become 0.
Config startChoices(Config current, bool folderWritable, const std::function<void(Config&)>& read,
                    int packCount, int skinCount);

// The pack that stands in for the damaged pack `damaged`: the first other one of the `count`
// packs, in list order, that `loads` loads soundly; nullopt when none does.
std::optional<int> fallbackPack(int count, int damaged, const std::function<bool(int)>& loads);

// A typed password (Windows-1252) in upper case, with the solver prefix "¤" taken off.
struct PasswordAnswer {
    std::string password;
    bool solverRequest = false;
};
PasswordAnswer readPasswordAnswer(const std::string& typed);

// The number of levels as the pack card shows it: "1 Level", "0 Levels", "12 Levels".
std::string levelCountText(int count);

}  // namespace lumor
