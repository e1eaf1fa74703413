#include "app/programfolder.h"

#include "app/bitmap.h"
#include "app/defaultskin.h"
#include "app/files.h"
#include "app/paths.h"

#include <filesystem>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace lumor {

std::string executableFolder() {
    // The kernel's link names the executable with every link resolved, as bytes.
    std::string path(256, '\0');
    while (true) {
        const ssize_t n = ::readlink("/proc/self/exe", path.data(), path.size());
        if (n < 0) return {};
        if (static_cast<size_t>(n) < path.size()) {
            path.resize(static_cast<size_t>(n));
            break;
        }
        path.resize(path.size() * 2);
    }
    // An executable replaced while it runs (an update) is named with this mark.
    constexpr std::string_view Deleted = " (deleted)";
    if (path.size() > Deleted.size() && path.ends_with(Deleted)) {
        path.resize(path.size() - Deleted.size());
    }
    const size_t slash = path.rfind('/');
    if (path.empty() || path[0] != '/' || slash == std::string::npos) return {};
    return slash == 0 ? "/" : path.substr(0, slash);
}

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
    // Whatever lies under the name (a leftover, a link, a FIFO) goes first: the file is
    // written fresh and never through anything else.
    ::unlink(path.c_str());
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    static constexpr char Line[] = "test\r\n";
    const bool written =
        ::write(fd, Line, sizeof Line - 1) == static_cast<ssize_t>(sizeof Line - 1);
    const bool closed = ::close(fd) == 0;
    return ::unlink(path.c_str()) == 0 && written && closed;
}

void removeLeftovers(const std::string& appFolder) {
    removeSaveLeftovers(resolveIn(appFolder, ""));
    const std::string skins = resolveIn(appFolder, "Skins");
    removeSaveLeftovers(skins);
    // Earlier versions wrote the default skin through this name.
    const std::string old = resolveIn(skins, "Default.bmp.tmp");
    struct stat st {};
    if (::lstat(old.c_str(), &st) == 0 && S_ISREG(st.st_mode)) ::unlink(old.c_str());
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
    const std::string skins = resolveIn(appFolder, "Skins");
    std::error_code ec;
    fs::create_directory(skins, ec);
    // A "Skins" that leads elsewhere may be read from, but the program writes nothing there.
    if (fs::is_symlink(skins, ec)) return false;
    return writeBmp(resolveIn(appFolder, "skins\\Default.bmp"), composeDefaultSkin());
}

void prepareProgramFolder(const std::string& folder) {
    ProgramState& s = state();
    initProgramState(s, folder);
    s.FolderWritable = CheckWritable(s.AppFolder);
    removeLeftovers(s.AppFolder);
    createProgramFolders(s.AppFolder);
    ensureDefaultSkin(s.AppFolder);
}

}  // namespace lumor
