#include "app/Audio.h"
#include "app/Wait.h"
#include "app/state.h"

#include "support/hostile.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cmath>
#include <cstdint>
#include <vector>

using namespace lumor;

namespace {

// A mono 16-bit PCM wave of `ms` milliseconds (a soft 440 Hz tone).
QByteArray makeWav(int ms) {
    const int rate = 22050;
    const int samples = rate * ms / 1000;
    QByteArray data;
    auto put32 = [&](uint32_t v) {
        for (int i = 0; i < 4; ++i) data.append(static_cast<char>(v >> (8 * i)));
    };
    auto put16 = [&](uint16_t v) {
        for (int i = 0; i < 2; ++i) data.append(static_cast<char>(v >> (8 * i)));
    };
    data.append("RIFF");
    put32(36 + samples * 2);
    data.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(rate);
    put32(rate * 2);
    put16(2);
    put16(16);
    data.append("data");
    put32(samples * 2);
    for (int i = 0; i < samples; ++i)
        put16(static_cast<uint16_t>(
            static_cast<int16_t>(3000 * std::sin(i * 2 * M_PI * 440 / rate))));
    return data;
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class Audio : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + "/";
        state().AppFolder = QFile::encodeName(folder).toStdString();
        state().Options[OptSound] = true;
        state().CurrentSong.clear();
        QDir(folder).mkdir("Sound");
        QDir(folder).mkdir("Musik");
        ASSERT_TRUE(initAudio()) << "the dummy audio driver should open";
    }
    void TearDown() override {
        shutdownAudio();
        state().Options[OptSound] = true;
        state().AppFolder.clear();
    }
    // Waits on the real clock (handling events) until cond() or a generous time-out.
    static bool waitUntilTrue(const std::function<bool()>& cond, int timeoutMs = 5000) {
        const int64_t deadline = nowMs() + timeoutMs;
        while (!cond() && nowMs() < deadline) waitUntil(nowMs() + 10);
        return cond();
    }
    QTemporaryDir dir;
    QString folder;
};

}  // namespace

TEST_F(Audio, SongReportsLengthAndPositionInMilliseconds) {
    writeFile(folder + "Musik/Lied eins.wav", makeWav(1500));
    const QString path = folder + "musik\\LIED EINS.WAV";  // spelled as a window might
    PlaySong(path);
    EXPECT_EQ(state().CurrentSong, path.toStdString());
    EXPECT_NEAR(static_cast<double>(songLengthMs()), 1500, 5);
    EXPECT_LT(songPositionMs(), songLengthMs());
    PollSong();  // still playing: left alone
    EXPECT_LT(songPositionMs(), songLengthMs());

    StopSong();
    EXPECT_EQ(songLengthMs(), 0);
    EXPECT_EQ(songPositionMs(), 0);
}

TEST_F(Audio, PollSongRestartsAnEndedSong) {
    writeFile(folder + "Musik/kurz.wav", makeWav(60));
    PlaySong(folder + "Musik/kurz.wav");
    ASSERT_GT(songLengthMs(), 0);
    ASSERT_TRUE(waitUntilTrue([] { return songLengthMs() <= songPositionMs(); }))
        << "the song never ended";
    EXPECT_EQ(songPositionMs(), songLengthMs());  // an ended song stands at its end

    PollSong();
    EXPECT_GT(songLengthMs(), songPositionMs());  // playing again from the start
    EXPECT_EQ(state().CurrentSong, (folder + "Musik/kurz.wav").toStdString());
}

TEST_F(Audio, MissingUnplayableAndHostileFilesAreSilent) {
    PlaySong(folder + "Musik/fehlt.wav");
    EXPECT_EQ(state().CurrentSong, (folder + "Musik/fehlt.wav").toStdString());
    PollSong();  // tries the same file again, quietly
    EXPECT_EQ(songLengthMs(), 0);
    writeFile(folder + "Musik/fehlt.wav", makeWav(500));  // once it is there, it plays
    PollSong();
    EXPECT_GT(songLengthMs(), 0);
    PlaySoundFile(std::string());
    PlaySoundFile(static_cast<const char*>(nullptr));

    // Checked before the audio library sees them: files it would crash on (no channels: a
    // division by zero), hang on (a FIFO) or swallow whole (a terabyte) are skipped.
    QByteArray noChannels = makeWav(500);
    noChannels[22] = 0;
    writeFile(folder + "Musik/TITEL.wav", noChannels);
    writeFile(folder + "Sound/start.wav", noChannels);
    // The same in an AIFF file: 0 channels, 2000 frames of 16 bits at 22050 Hz.
    writeFile(folder + "Musik/titel.aiff",
              QByteArray("FORM\0\0\x0f\xce"
                         "AIFFCOMM\0\0\0\x12\0\0\0\0\x07\xd0\0\x10\x40\x0d\xac\x44\0\0\0\0\0\0"
                         "SSND\0\0\x0f\xa8",
                         46) +
                  QByteArray(4008, '\0'));
    PlaySong(folder + "Musik/titel.aiff");
    EXPECT_EQ(songLengthMs(), 0);
    PlaySong(folder + "Musik/TITEL.wav");
    PlaySoundFile(folder + "Sound/start.wav");
    EXPECT_EQ(songLengthMs(), 0);
    EXPECT_FALSE(soundPlaying());
    for (lumortest::Hostile h : lumortest::AllHostile) {
        const std::string name = std::to_string(static_cast<int>(h)) + ".wav";
        ASSERT_TRUE(lumortest::makeHostile(h, state().AppFolder + "Musik/" + name));
        ASSERT_TRUE(lumortest::makeHostile(h, state().AppFolder + "Sound/" + name));
        PlaySong(state().AppFolder + "Musik/" + name);
        PlaySoundFile(state().AppFolder + "Sound/" + name);
        EXPECT_EQ(songLengthMs(), 0) << nameOf(h);
        EXPECT_FALSE(soundPlaying()) << nameOf(h);
    }

    // A song with a sampler chunk that promises loops it does not hold still plays, once,
    // as the plain samples it carries.
    QByteArray looped = makeWav(700);
    looped += QByteArray("smpl") + QByteArray("\x24\0\0\0", 4) + QByteArray(28, '\0') +
              QByteArray("\xff\xff\xff\x7f", 4) + QByteArray(4, '\0');
    writeFile(folder + "Musik/Schleife.wav", looped);
    PlaySong(folder + "Musik/Schleife.wav");
    EXPECT_NEAR(static_cast<double>(songLengthMs()), 700, 5);
}

TEST_F(Audio, SoundsRespectTheOptionAndCutEachOtherOff) {
    writeFile(folder + "Sound/start.wav", makeWav(2000));
    writeFile(folder + "Sound/wand.wav", makeWav(2000));
    state().Options[OptSound] = false;
    PlaySoundFile(folder + "sound\\start.wav");
    EXPECT_FALSE(soundPlaying());

    state().Options[OptSound] = true;
    PlaySoundFile(folder + "sound\\start.wav");
    EXPECT_TRUE(soundPlaying());
    PlaySoundFile(state().AppFolder + "SOUND\\Wand.wav");  // cuts the first one off, same channel
    EXPECT_TRUE(soundPlaying());
    state().Options[OptSound] = false;
    PlaySoundFile("sound\\start.wav");  // off: the running sound is not disturbed either
    EXPECT_TRUE(soundPlaying());
}

TEST_F(Audio, MusicFilesAreListedInAStableCaseInsensitiveOrder) {
    EXPECT_TRUE(musicFiles().isEmpty());
    for (const char* name : {"b.ogg", "TITEL.ogg", "a.WAV", "C.mid", ".versteckt"})
        writeFile(folder + "Musik/" + name, "x");
    QDir(folder + "Musik").mkdir("Unterordner");
    EXPECT_EQ(musicFiles(), (QStringList{"a.WAV", "b.ogg", "C.mid", "TITEL.ogg"}));
}
