#include "app/installorigin.h"

#include <cerrno>

#include <sys/stat.h>
#include <unistd.h>

namespace lumor {

namespace {

constexpr uint64_t NoteLimit = 4096;

std::string notePath(const std::string& folder) {
    std::string path = folder;
    if (path.empty() || path.back() != '/') path += '/';
    return path + InstallOriginName;
}

}  // namespace

SaveStatus noteInstallOrigin(const std::string& copyFolder, const std::string& installedFolder) {
    return saveFileAtomically(notePath(copyFolder), installedFolder + "\n", LinkPolicy::Refuse);
}

std::string takeRemovedInstallOrigin(const std::string& programFolder) {
    const std::string note = notePath(programFolder);
    std::string bytes;
    if (readRegularFile(note, NoteLimit, bytes) != ReadStatus::Ok) return {};
    std::string origin = bytes.substr(0, bytes.find('\n'));
    if (origin.empty() || origin.front() != '/') return {};
    // Only a game that is gone counts; one that cannot be looked at for the moment (an
    // update under way) is not reported.
    struct stat st {};
    if (::stat((origin + "/Lumor").c_str(), &st) == 0 || errno != ENOENT) return {};
    if (::unlink(note.c_str()) != 0) return {};  // said once, or not at all
    return origin;
}

}  // namespace lumor
