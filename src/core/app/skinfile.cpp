#include "app/skinfile.h"

#include "app/files.h"
#include "app/paths.h"

namespace lumor {

std::optional<RgbImage> readSkin(const std::string& path) {
    std::string bytes;
    if (readRegularFile(path, MaxBitmapFileBytes, bytes) != ReadStatus::Ok) return std::nullopt;
    auto image = decodeBmp(bytes);
    if (!image || image->width < SkinMinWidth || image->height < SkinMinHeight) return std::nullopt;
    return image;
}

std::vector<std::string> listSkins(const std::string& folder) {
    std::vector<std::string> skins;
    const std::string dir = resolvePath(folder);
    for (std::string& name : listFiles(dir, "*.*"))
        if (readSkin(dir + "/" + name)) skins.push_back(std::move(name));
    return skins;
}

}  // namespace lumor
