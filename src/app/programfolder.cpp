#include "app/programfolder.h"

#include "app/bitmap.h"
#include "app/defaultskin.h"
#include "app/paths.h"

#include <filesystem>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

namespace lumor {

std::string asProgramFolder(const std::string& folder) {
    if (folder.empty()) return "./";
    if (folder.back() == '/') return folder;
    return folder + "/";
}

void initProgramState(ProgramState& s, const std::string& folder) {
    s.AppFolder = asProgramFolder(folder);
    s.FinalMessage = DefaultFinalMessage;
    s.MusicOn = true;
    s.Options.fill(true);
    s.FolderWritable = false;
    s.CurrentSong.clear();
    s.handover.clear();
}

bool CheckWritable(const std::string& appFolder) {
    const std::string path = resolveIn(appFolder, "test.test");
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << "test\r\n";
        out.close();
        if (!out) {
            std::error_code ec;
            fs::remove(path, ec);
            return false;
        }
    }
    std::error_code ec;
    return fs::remove(path, ec) && !ec;
}

void createProgramFolders(const std::string& appFolder) {
    for (const char* name : {"Musik", "Sound"}) {
        const std::string path = resolveIn(appFolder, name);
        std::error_code ec;
        if (!fs::exists(path, ec)) fs::create_directory(path, ec);
    }
}

bool ensureDefaultSkin(const std::string& appFolder) {
    if (FileExists(resolveIn(appFolder, "Skins\\default.bmp"))) return true;
    std::error_code ec;
    fs::create_directory(resolveIn(appFolder, "Skins"), ec);
    return writeBmp(resolveIn(appFolder, "skins\\Default.bmp"), composeDefaultSkin());
}

void prepareProgramFolder(const std::string& folder) {
    ProgramState& s = state();
    initProgramState(s, folder);
    s.FolderWritable = CheckWritable(s.AppFolder);
    createProgramFolders(s.AppFolder);
    ensureDefaultSkin(s.AppFolder);
}

}  // namespace lumor
