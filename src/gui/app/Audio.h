// Sound effects and music through SDL2_mixer. One channel for wave sounds (a new one
// cuts the old off); one song at a time. A missing file or audio device is silent.
// Paths may be written the way the windows build them (AppFolder + "sound\start.wav"):
// they are resolved without regard to letter case. std::string paths are native file
// names (UTF-8), as AppFolder is.
#pragma once

#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace lumor {

// Opens the audio device once (idempotent); false when there is none (then all calls are
// no-ops). Every call below opens the device on first use, so calling this is optional.
bool initAudio();
// Stops everything and closes the device; the next call opens it again.
void shutdownAudio();

// Plays a wave file asynchronously when OptSound is on.
void PlaySoundFile(const QString& path);
void PlaySoundFile(const std::string& path);
void PlaySoundFile(const char* path);
// CurrentSong = path; stops any song and starts this one when the file exists.
void PlaySong(const QString& path);
void PlaySong(const std::string& path);
void PlaySong(const char* path);
void StopSong();
// Restarts CurrentSong when it has ended (length not greater than position).
void PollSong();
// Length and position of the open song, in milliseconds; 0 when none is open. A song
// that has played to its end reports its position equal to its length; a playing song
// whose length the decoder cannot tell reports a length just beyond its position.
qint64 songLengthMs();
qint64 songPositionMs();
// True while a wave sound is audible (for tests and the title's start sound).
bool soundPlaying();
// The music file list of the music folder ("Musik"), file names only (bytes, as the file
// system has them), in a stable order (case-insensitive by name).
std::vector<std::string> musicFiles();

}  // namespace lumor
