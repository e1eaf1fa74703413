#include "editor/packfiles.h"

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

std::vector<LevelRecord> packLevels(const Levels& levels, int count) {
    std::vector<LevelRecord> list;
    list.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) list.push_back(levels[i]);
    return list;
}

}  // namespace lumor
