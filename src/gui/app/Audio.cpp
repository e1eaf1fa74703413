#include "app/Audio.h"

#include "app/files.h"
#include "app/paths.h"
#include "app/state.h"
#include "app/wave.h"

#include <QFile>

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <map>
#include <set>
#include <utility>

#include <unistd.h>

namespace lumor {

namespace {

constexpr int SoundChannel = 0;

// Sounds are loaded whole and decoded into memory: short effects, not albums.
constexpr uint64_t SoundFileLimit = 16 * 1024 * 1024;
constexpr uint64_t SoundMaxSeconds = 60;
// Songs in the formats below are streamed; others go to decoders that load the whole file
// (trackers, MIDI), which get a smaller limit: modules are rarely above a few megabytes.
constexpr uint64_t SongFileLimit = 256 * 1024 * 1024;
constexpr uint64_t WholeSongFileLimit = 32 * 1024 * 1024;
// A song that ends sooner after its start is not one to loop: it is not loaded again.
constexpr int64_t ShortestLoopMs = 1000;

bool streamedFormat(const std::string& head) {
    const auto byte = [&](size_t i) { return i < head.size() ? static_cast<uint8_t>(head[i]) : 0; };
    return head.compare(0, 4, "OggS") == 0 || head.compare(0, 4, "fLaC") == 0 ||
           head.compare(0, 3, "ID3") == 0 || (byte(0) == 0xFF && (byte(1) & 0xE0) == 0xE0);
}

int64_t steadyMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// When the playing song ended, set from the mixer's thread; 0 while it plays.
std::atomic<int64_t> songEndedAt{0};
void noteSongEnded() { songEndedAt = steadyMs(); }

struct Mixer {
    bool tried = false;
    bool ok = false;
    std::map<std::string, Mix_Chunk*> chunks;  // loaded wave sounds by resolved path (owning)
    std::map<std::string, Mix_Chunk*>
        requested;  // the same by the path asked for, to skip the lookup
    Mix_Music* music = nullptr;
    std::pair<std::string, std::filesystem::file_time_type> musicStamp;  // its file
    int64_t musicStartedAt = 0;
    // Songs and sounds found unplayable, with the file's time stamp: the title loop asks
    // for its song every frame, and reading an unplayable file 60 times a second helps nobody.
    std::set<std::pair<std::string, std::filesystem::file_time_type>> unplayable;
};

using Stamp = std::pair<std::string, std::filesystem::file_time_type>;

Stamp stampOf(const std::string& file) {
    std::error_code ec;
    return {file, std::filesystem::last_write_time(file, ec)};
}

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

// A song file as the music decoder reads it: an optional header of ours, then `length`
// bytes of the file from `offset`. The decoder never sees anything else of the file.
struct FileStream {
    int fd = -1;
    std::string header;
    uint64_t offset = 0;
    uint64_t length = 0;
    int64_t pos = 0;

    int64_t size() const { return static_cast<int64_t>(header.size() + length); }
};

FileStream& streamOf(SDL_RWops* rw) { return *static_cast<FileStream*>(rw->hidden.unknown.data1); }

Sint64 streamSize(SDL_RWops* rw) { return streamOf(rw).size(); }

Sint64 streamSeek(SDL_RWops* rw, Sint64 offset, int whence) {
    FileStream& s = streamOf(rw);
    const int64_t base = whence == RW_SEEK_SET ? 0 : whence == RW_SEEK_CUR ? s.pos : s.size();
    const int64_t to = base + offset;
    if (to < 0) return SDL_SetError("seek before the start");
    s.pos = to;
    return to;
}

size_t streamRead(SDL_RWops* rw, void* ptr, size_t size, size_t maxnum) {
    FileStream& s = streamOf(rw);
    if (size == 0 || maxnum == 0 || s.pos >= s.size()) return 0;
    const size_t want = static_cast<size_t>(
        std::min<uint64_t>(static_cast<uint64_t>(s.size() - s.pos), uint64_t{size} * maxnum));
    char* out = static_cast<char*>(ptr);
    size_t done = 0;
    while (done < want) {
        const uint64_t at = static_cast<uint64_t>(s.pos) + done;
        if (at < s.header.size()) {
            const size_t n = std::min(want - done, s.header.size() - static_cast<size_t>(at));
            std::copy_n(s.header.data() + at, n, out + done);
            done += n;
            continue;
        }
        const ssize_t got = ::pread(s.fd, out + done, want - done,
                                    static_cast<off_t>(s.offset + at - s.header.size()));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) break;  // the file shrank: it ends early
        done += static_cast<size_t>(got);
    }
    s.pos += static_cast<int64_t>(done);
    return done / size;
}

size_t streamWrite(SDL_RWops*, const void*, size_t, size_t) { return 0; }

int streamClose(SDL_RWops* rw) {
    if (!rw) return 0;
    FileStream* s = &streamOf(rw);
    ::close(s->fd);
    delete s;
    SDL_FreeRW(rw);
    return 0;
}

SDL_RWops* openStream(int fd, std::string header, uint64_t offset, uint64_t length) {
    SDL_RWops* rw = SDL_AllocRW();
    if (!rw) {
        ::close(fd);
        return nullptr;
    }
    rw->size = streamSize;
    rw->seek = streamSeek;
    rw->read = streamRead;
    rw->write = streamWrite;
    rw->close = streamClose;
    rw->type = SDL_RWOPS_UNKNOWN;
    rw->hidden.unknown.data1 = new FileStream{fd, std::move(header), offset, length, 0};
    return rw;
}

// A wave sound, checked and given to the mixer with a header of ours; nullptr when unplayable.
Mix_Chunk* loadSound(const std::string& file) {
    std::string bytes;
    if (readRegularFile(file, SoundFileLimit, bytes) != ReadStatus::Ok) return nullptr;
    const auto format = checkWave(bytes, bytes.size());
    if (!format || format->frames() / format->rate > SoundMaxSeconds) return nullptr;
    const std::string clean =
        waveHeader(*format) + bytes.substr(static_cast<size_t>(format->dataOffset),
                                           static_cast<size_t>(format->dataSize));
    return Mix_LoadWAV_RW(SDL_RWFromConstMem(clean.data(), static_cast<int>(clean.size())), 1);
}

// A song: a wave file is checked and streamed behind a header of ours; AIFF is refused;
// other formats (Ogg, MP3, FLAC, trackers, MIDI) go to their decoders as they are. nullptr
// when unplayable.
Mix_Music* loadSong(const std::string& file) {
    ReadStatus status;
    uint64_t size = 0;
    const int fd = openRegularFile(file, SongFileLimit, status, &size);
    if (fd < 0) return nullptr;
    std::string head;
    if (!readHead(fd, WaveHeadLimit, head)) {
        ::close(fd);
        return nullptr;
    }
    if (looksLikeWave(head)) {
        const auto format = checkWave(head, size);
        if (!format) {
            ::close(fd);
            return nullptr;
        }
        SDL_RWops* rw = openStream(fd, waveHeader(*format), format->dataOffset, format->dataSize);
        return rw ? Mix_LoadMUSType_RW(rw, MUS_WAV, 1) : nullptr;
    }
    // AIFF goes to the same loader as wave files without such a check (no channels kill it
    // the same way): not played.
    if (head.compare(0, 4, "FORM") == 0) {
        ::close(fd);
        return nullptr;
    }
    if (!streamedFormat(head) && size > WholeSongFileLimit) {
        ::close(fd);
        return nullptr;
    }
    SDL_RWops* rw = openStream(fd, {}, 0, size);
    return rw ? Mix_LoadMUS_RW(rw, 1) : nullptr;
}

// A song that ended within a moment of its start (a module with nothing in it, say) would
// be loaded again and again by whoever restarts songs that have ended: it goes with the
// unplayable ones until its file changes.
void noteSongEndedAtOnce() {
    Mixer& m = mixer();
    const int64_t ended = songEndedAt;
    if (m.music && !Mix_PlayingMusic() && ended != 0 && ended - m.musicStartedAt < ShortestLoopMs)
        m.unplayable.insert(m.musicStamp);
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
    Mix_HookMusicFinished(noteSongEnded);
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
            const Stamp stamp = stampOf(file);
            if (m.unplayable.count(stamp)) return;
            chunk = loadSound(file);
            if (!chunk) {
                m.unplayable.insert(stamp);
                return;
            }
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
    noteSongEndedAtOnce();
    closeMusic();
    const std::string file = resolvePath(path);
    if (!FileExists(file)) return;
    Mixer& m = mixer();
    const Stamp stamp = stampOf(file);
    if (m.unplayable.count(stamp)) return;
    m.music = loadSong(file);
    if (!m.music) {
        m.unplayable.insert(stamp);
        return;
    }
    m.musicStamp = stamp;
    m.musicStartedAt = steadyMs();
    songEndedAt = 0;
    if (Mix_PlayMusic(m.music, 0) != 0) {
        closeMusic();
        m.unplayable.insert(stamp);
    }
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

std::vector<std::string> musicFiles() { return listFiles(programPath("Musik"), "*.*"); }

}  // namespace lumor
