#include "app/viewsettings.h"

#include <sstream>

namespace lumor {

namespace {

constexpr uint64_t Limit = 4096;

std::string pathIn(const std::string& folder) {
    return folder.empty() || folder.back() == '/' ? folder + ViewSettingsName
                                                  : folder + "/" + ViewSettingsName;
}

}  // namespace

ViewSettings readViewSettings(const std::string& folder) {
    ViewSettings settings;
    std::string bytes;
    if (folder.empty() || readRegularFile(pathIn(folder), Limit, bytes) != ReadStatus::Ok)
        return settings;
    std::istringstream in(bytes);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line == "Gitter=1") settings.grid = true;
        if (line == "Gitter=0") settings.grid = false;
    }
    return settings;
}

SaveStatus saveViewSettings(const std::string& folder, const ViewSettings& settings) {
    if (folder.empty()) return SaveStatus::NoFolder;
    return saveFileAtomically(pathIn(folder), settings.grid ? "Gitter=1\n" : "Gitter=0\n",
                              LinkPolicy::Refuse);
}

}  // namespace lumor
