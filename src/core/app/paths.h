// File names below the program folder. Names are written with "\" or "/" and in any
// letter case ("skins\Default.bmp", "Skins", "musik\"); on a case-sensitive file system
// every part is matched against what exists without regard to case. A part that does
// not exist keeps the spelling given, so creating "Skins" makes a folder "Skins".
#pragma once

#include <string>
#include <vector>

namespace lumor {

// Case-insensitive comparison of file names: ASCII letters and the Latin-1 letters of
// UTF-8 ("Ä" = "ä").
bool sameNameIgnoringCase(const std::string& a, const std::string& b);
// The form in which sameNameIgnoringCase compares: equal for exactly the names it calls the
// same, so it can key a table of names.
std::string foldedName(const std::string& name);
// Orders names case-insensitively, ties by their bytes (a stable listing order).
bool nameLess(const std::string& a, const std::string& b);

// The native path of `rel` below the folder `base` (which may or may not end in "/").
// Each part of `rel` is matched against the existing entries: the exact spelling wins,
// otherwise the first case-insensitive match in listing order; parts without a match
// keep their given spelling. Empty parts and "." are skipped; ".." is refused (the
// result stays inside `base`). Trailing separators are dropped.
std::string resolveIn(const std::string& base, const std::string& rel);

// resolveIn(state().AppFolder, rel).
std::string programPath(const std::string& rel);

// A full path as the windows build it (AppFolder + "sound\start.wav"): the part behind
// AppFolder is resolved like programPath, and so is a relative name; any other absolute
// path is resolved part by part from the root, exact spellings first.
std::string resolvePath(const std::string& path);

// True when the path names a regular file (also through a link) that can be opened for
// reading; folders, devices and FIFOs are not files. The path is resolved like resolvePath.
bool FileExists(const std::string& path);
// True when the path names an existing folder (resolved like resolvePath).
bool FolderExists(const std::string& path);

// The names of the plain files in `folder` (resolved like resolvePath) that match the
// pattern ("*.llp", "*.*", "TITEL.*"; "*" and "?" wildcards, case-insensitive), without
// hidden files, ordered with nameLess. An empty list when the folder does not exist.
std::vector<std::string> listFiles(const std::string& folder, const std::string& pattern = "*.*");

// A file name as UTF-8 for showing. File names are bytes: one that is not UTF-8 (a name
// from an older system, "\xdc" for "Ü") is read as Windows-1252. Open files by their
// bytes, never by this.
std::string displayFileName(const std::string& name);

// Wildcard match of a file name, case-insensitive. "*.*" matches every name, also
// those without a dot.
bool matchesPattern(const std::string& name, const std::string& pattern);

}  // namespace lumor
