// Sound effects and music through SDL2_mixer. One channel for wave sounds (a new one
// cuts the old off); one song at a time. A missing file or audio device is silent.
#pragma once

#include <QString>
#include <QStringList>

namespace lumor {

// Opens the audio device once (idempotent); false when there is none (then all calls are no-ops).
bool initAudio();
void shutdownAudio();

// Plays a wave file asynchronously when OptSound is on.
void PlaySoundFile(const QString& path);
// CurrentSong = path; stops any song and starts this one when the file exists.
void PlaySong(const QString& path);
void StopSong();
// Restarts CurrentSong when it has ended (length not greater than position).
void PollSong();
// Length and position of the open song, in milliseconds; 0 when none is open.
qint64 songLengthMs();
qint64 songPositionMs();
// The music file list of the music folder, in a stable order (case-insensitive by name).
QStringList musicFiles();

}  // namespace lumor
