#include "play/PlaySetup.h"

#include "app/Audio.h"
#include "app/userdata.h"

namespace lumor {

PlaySetup playSetupOf(const ProgramState& program) {
    PlaySetup setup;
    setup.pack = program.pack;
    setup.finalMessage = program.FinalMessage;
    setup.startLevel = program.handover.toInt();
    setup.options = program.Options;
    setup.musicOn = program.MusicOn;
    setup.appFolder = program.AppFolder;
    if (const std::string folder = userDataFolder(); !folder.empty())
        setup.sizeFile = folder + "/Brettfenster.txt";
    return setup;
}

PlayAudio PlayAudio::speakers() {
    PlayAudio audio;
    audio.sound = [](const std::string& path) { PlaySoundFile(path); };
    audio.song = [](const std::string& path) { PlaySong(path); };
    audio.songOver = [] { return songLengthMs() <= songPositionMs(); };
    audio.songs = musicFiles;
    return audio;
}

}  // namespace lumor
