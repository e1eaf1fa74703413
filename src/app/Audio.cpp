#include "app/Audio.h"

#include "app/paths.h"
#include "app/state.h"

#include <QFile>

#include <SDL.h>
#include <SDL_mixer.h>

#include <filesystem>
#include <map>
#include <set>
#include <utility>

namespace lumor {

namespace {

constexpr int SoundChannel = 0;

struct Mixer {
    bool tried = false;
    bool ok = false;
    std::map<std::string, Mix_Chunk*> chunks;  // loaded wave sounds by resolved path (owning)
    std::map<std::string, Mix_Chunk*>
        requested;  // the same by the path asked for, to skip the lookup
    Mix_Music* music = nullptr;
    // Songs the decoder refused, with the file's time stamp: the title loop asks for
    // its song every frame, and reading an unplayable file 60 times a second helps nobody.
    std::set<std::pair<std::string, std::filesystem::file_time_type>> unplayable;
};

Mixer& mixer() {
    static Mixer m;
    return m;
}

std::string nativeName(const QString& path) { return QFile::encodeName(path).toStdString(); }

void closeMusic() {
    Mixer& m = mixer();
    if (!m.music) return;
    Mix_HaltMusic();
    Mix_FreeMusic(m.music);
    m.music = nullptr;
}

void songStatus(qint64& length, qint64& position) {
    length = position = 0;
    Mixer& m = mixer();
    if (!m.music) return;
    const double duration = Mix_MusicDuration(m.music);
    const qint64 len = duration > 0 ? static_cast<qint64>(duration * 1000.0) : 0;
    if (!Mix_PlayingMusic()) {
        length = position = len;  // played to its end
        return;
    }
    const double pos = Mix_GetMusicPosition(m.music);
    position = pos > 0 ? static_cast<qint64>(pos * 1000.0) : 0;
    length = len > 0 ? len : position + 1;
}

}  // namespace

bool initAudio() {
    Mixer& m = mixer();
    if (m.tried) return m.ok;
    m.tried = true;
    // SDL would otherwise take over SIGINT and SIGTERM, and the program could no longer be stopped by them.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
    // Whichever decoders are present; a missing one only makes those files unplayable.
    Mix_Init(MIX_INIT_OGG | MIX_INIT_MP3 | MIX_INIT_FLAC | MIX_INIT_OPUS | MIX_INIT_MOD);
    if (Mix_OpenAudio(44100, MIX_DEFAULT_FORMAT, 2, 1024) != 0) {
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    Mix_AllocateChannels(1);
    m.ok = true;
    return true;
}

void shutdownAudio() {
    Mixer& m = mixer();
    if (m.ok) {
        Mix_HaltChannel(-1);
        closeMusic();
        for (auto& [path, chunk] : m.chunks) Mix_FreeChunk(chunk);
        m.chunks.clear();
        m.requested.clear();
        Mix_CloseAudio();
        Mix_Quit();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    m.unplayable.clear();
    m.tried = m.ok = false;
}

void PlaySoundFile(const std::string& path) {
    if (!state().opt(OptSound) || !initAudio()) return;
    Mixer& m = mixer();
    Mix_Chunk* chunk = nullptr;
    if (auto known = m.requested.find(path); known != m.requested.end()) {
        chunk = known->second;
    } else {
        const std::string file = resolvePath(path);
        if (auto loaded = m.chunks.find(file); loaded != m.chunks.end()) {
            chunk = loaded->second;
        } else {
            if (!FileExists(file)) return;  // not remembered: it may turn up later
            chunk = Mix_LoadWAV(file.c_str());
            if (!chunk) return;
            m.chunks.emplace(file, chunk);
        }
        m.requested.emplace(path, chunk);
    }
    Mix_HaltChannel(SoundChannel);
    Mix_PlayChannel(SoundChannel, chunk, 0);
}

void PlaySoundFile(const QString& path) { PlaySoundFile(nativeName(path)); }
void PlaySoundFile(const char* path) { PlaySoundFile(std::string(path ? path : "")); }

bool soundPlaying() { return mixer().ok && Mix_Playing(SoundChannel) != 0; }

void PlaySong(const std::string& path) {
    state().CurrentSong = path;
    if (!initAudio()) return;
    closeMusic();
    const std::string file = resolvePath(path);
    if (!FileExists(file)) return;
    Mixer& m = mixer();
    std::error_code ec;
    const auto stamp = std::filesystem::last_write_time(file, ec);
    if (m.unplayable.count({file, stamp})) return;
    m.music = Mix_LoadMUS(file.c_str());
    if (!m.music) {
        m.unplayable.insert({file, stamp});
        return;
    }
    if (Mix_PlayMusic(m.music, 0) != 0) closeMusic();
}

void PlaySong(const QString& path) { PlaySong(nativeName(path)); }
void PlaySong(const char* path) { PlaySong(std::string(path ? path : "")); }

void StopSong() {
    if (mixer().ok) closeMusic();
}

void PollSong() {
    qint64 length = 0, position = 0;
    songStatus(length, position);
    if (length <= position) PlaySong(std::string(state().CurrentSong));
}

qint64 songLengthMs() {
    qint64 length = 0, position = 0;
    songStatus(length, position);
    return length;
}

qint64 songPositionMs() {
    qint64 length = 0, position = 0;
    songStatus(length, position);
    return position;
}

QStringList musicFiles() {
    QStringList list;
    for (const std::string& name : listFiles(programPath("Musik"), "*.*"))
        list << QFile::decodeName(name.c_str());
    return list;
}

}  // namespace lumor
