// What the board window is handed when it is made: the pack it plays (its own copy, so a
// window testing an edited level leaves the loaded pack alone), where it starts, the options
// it plays under, and the loudspeakers it plays its sounds and songs on.
#pragma once

#include "app/state.h"
#include "levels/level.h"
#include "play/playmodel.h"

#include <functional>
#include <string>
#include <vector>

namespace lumor {

struct PlaySetup {
    Pack pack;
    std::string finalMessage;  // shown behind the last level; none when empty
    int startLevel = 0;        // an index; one outside the pack closes the window at once
    PlayModel::Options options{};
    bool musicOn = false;
    std::string appFolder;  // where "Sound" and "Musik" are, ending in "/"
    // Where the window's size is remembered (in the user's data folder); none when empty.
    std::string sizeFile;
};

// The loaded pack from the start level in Handover, under the program's options, its size
// remembered in the user's data folder.
PlaySetup playSetupOf(const ProgramState& program);

// The board window's sounds and songs (paths as the window builds them).
struct PlayAudio {
    std::function<void(const std::string& path)> sound;
    std::function<void(const std::string& path)> song;
    std::function<bool()> songOver;                   // the song started last has played to its end
    std::function<std::vector<std::string>()> songs;  // the music folder's file names

    // The program's audio device.
    static PlayAudio speakers();
};

}  // namespace lumor
