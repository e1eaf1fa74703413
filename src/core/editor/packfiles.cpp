#include "editor/packfiles.h"

#include "levels/cp1252.h"

#include <cctype>

namespace lumor {

std::string withPackExtension(const std::string& name) {
    std::string tail = name.size() >= 4 ? name.substr(name.size() - 4) : name;
    for (char& c : tail) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return tail == ".LLP" ? name : name + ".llp";
}

std::string fileNameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool hasForbiddenCharacter(const std::string& name) {
    return name.find_first_of("\\/:*?\"<>|") != std::string::npos;
}

std::optional<Unstorable> firstUnstorable(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const unsigned code = static_cast<unsigned char>(text[i]);
        const size_t stored = code + i + 1;
        if (stored > 255 || stored == '\r' || stored == '\n')
            return Unstorable{i + 1, static_cast<unsigned char>(code), stored <= 255};
    }
    return std::nullopt;
}

int samePassword(const Levels& levels, int count, int index) {
    const std::string mine = cp1252::toUpper(levels[index].Password);
    for (int i = 0; i < count; ++i)
        if (i != index && cp1252::toUpper(levels[i].Password) == mine) return i;
    return -1;
}

std::vector<LevelRecord> packLevels(const Levels& levels, int count) {
    std::vector<LevelRecord> list;
    list.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) list.push_back(levels[i]);
    return list;
}

}  // namespace lumor
