// The start-up steps that touch only files: the initial program-wide state, the write
// test, the program's folders and the default skin. Every failure is ignored here; the
// results only decide FolderWritable and whether a skin exists.
#pragma once

#include "app/state.h"

#include <string>

namespace lumor {

// The folder of the running program's executable, as the bytes of its real path (names
// need not be UTF-8); empty when the system does not tell it. Never the working folder.
std::string executableFolder();

// The folder as AppFolder: with one "/" appended unless it ends in one already (so the
// root folder stays "/").
std::string asProgramFolder(const std::string& folder);

// Sets AppFolder, FinalMessage, MusicOn, the nine Options, FolderWritable (false),
// CurrentSong (empty) and Handover (empty) to their initial values.
void initProgramState(ProgramState& s, const std::string& folder);

// Creates "test.test" (replacing a leftover, which is removed first, so nothing is ever
// written through a link or into a FIFO of that name), writes the line "test", closes and
// deletes it. True only when all of that worked.
bool CheckWritable(const std::string& appFolder);

// Removes what killed saves left behind in the program folder and in "Skins": the hidden
// temporary files of saveFileAtomically and the "Default.bmp.tmp" of earlier versions.
void removeLeftovers(const std::string& appFolder);

// Creates "Musik" and then "Sound" when the folder has none (in any letter case).
void createProgramFolders(const std::string& appFolder);

// Writes "skins\Default.bmp" (creating "Skins" first) when "Skins\default.bmp" cannot be
// opened for reading, never through a link: not one in the file's place, nor a "Skins"
// that leads elsewhere. True when a default skin is there afterwards.
bool ensureDefaultSkin(const std::string& appFolder);

// The start's work on the program folder, into state(): the initial program state, the
// write test, leftovers of interrupted saves removed, the folders and the default skin.
void prepareProgramFolder(const std::string& folder);

}  // namespace lumor
