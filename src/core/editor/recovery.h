// The editor's recovery copy: what a crash, a kill or a power cut would take from the
// designer since the last save. It lives in the user's data folder, one file per pack (or
// per program folder for a pack that has no file yet), and is written a few seconds after a
// change and removed when the editor closes cleanly or the pack is saved. Texts are kept
// as hexadecimal bytes, so that a name the pack file itself could not store yet (the
// designer is still typing it) survives as well.
#pragma once

#include "levels/level.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace lumor {

struct RecoveryCopy {
    std::string programFolder;  // the editor's AppFolder
    std::string packPath;       // the pack's own file; empty for a pack never saved
    int64_t savedAt = 0;        // seconds since 1970
    int current = 0;            // the level that was shown
    PackHeader header;
    std::vector<LevelRecord> levels;  // 1 to MaxLevels
    bool operator==(const RecoveryCopy&) const = default;
};

std::string recoveryBytes(const RecoveryCopy& copy);
// nullopt for anything but a whole copy (a file of another kind, cut short or changed).
std::optional<RecoveryCopy> parseRecovery(const std::string& bytes);

// The copy's file name: "editor-", a hash of the program folder, "-", a hash of the pack's
// path or "unsaved", ".recovery". The copies of one program folder share the part up to
// the second "-" (recoveryPrefix).
std::string recoveryFileName(const std::string& programFolder, const std::string& packPath);
std::string recoveryPrefix(const std::string& programFolder);

// The copies of this program folder in `folder` that can be read, newest first, each with
// its path.
std::vector<std::pair<std::string, RecoveryCopy>> findRecoveryCopies(
    const std::string& folder, const std::string& programFolder);

// Every recovery copy is written through here (atomically, so that a kill during the write
// leaves the previous copy whole). False when it could not be written.
bool writeRecoveryFile(const std::string& path, const std::string& bytes);

}  // namespace lumor
