#include "title/titlesetup.h"

#include "levels/cp1252.h"

namespace lumor {

int32_t clampToList(int32_t index, int count) { return index < 0 || index >= count ? 0 : index; }

Config startChoices(Config current, bool folderWritable, const std::function<void(Config&)>& read,
                    int packCount, int skinCount) {
    if (folderWritable) {
        current.PackIndex = 0;
        current.SkinIndex = 0;
        if (read) read(current);
    }
    current.PackIndex = clampToList(current.PackIndex, packCount);
    current.SkinIndex = clampToList(current.SkinIndex, skinCount);
    return current;
}

std::optional<int> fallbackPack(int count, int damaged, const std::function<bool(int)>& loads) {
    for (int i = 0; i < count; ++i)
        if (i != damaged && loads(i)) return i;
    return std::nullopt;
}

PasswordAnswer readPasswordAnswer(const std::string& typed) {
    constexpr char SolverPrefix = '\xA4';  // "¤"
    PasswordAnswer answer{cp1252::toUpper(typed), false};
    if (!answer.password.empty() && answer.password[0] == SolverPrefix) {
        answer.password.erase(0, 1);
        answer.solverRequest = true;
    }
    return answer;
}

std::string levelCountText(int count) {
    return std::to_string(count) + (count == 1 ? " Level" : " Levels");
}

}  // namespace lumor
