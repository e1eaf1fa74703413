// Songs and sounds through the audio library on its dummy driver.
#include "app/Audio.h"
#include "app/wave.h"

#include "support/hostile.h"
#include "support/program.h"

#include <gtest/gtest.h>
#include <QTest>

using namespace lumor;
using lumortest::Hostile;

namespace {

// A mono 16-bit wave of `ms` milliseconds at 22050 Hz.
QByteArray wav(int ms) {
    const WaveFormat f{1, 1, 22050, 16, 2, 0, 22050u * static_cast<unsigned>(ms) / 1000 * 2};
    return QByteArray::fromStdString(waveHeader(f)) +
           QByteArray(static_cast<qsizetype>(f.dataSize), '\x08');
}

class Audio : public lumortest::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ASSERT_TRUE(initAudio()) << "the dummy audio driver should open";
    }
};

}  // namespace

TEST_F(Audio, SongsReportTheirTimesAndPollingRestartsOnlyAnEndedOne) {
    write("Musik/Lied eins.wav", wav(1500));
    const QString spelled = path("musik\\LIED EINS.WAV");  // as a window might spell it
    PlaySong(spelled);
    EXPECT_EQ(state().CurrentSong, spelled.toStdString());
    EXPECT_NEAR(static_cast<double>(songLengthMs()), 1500, 5);
    ASSERT_TRUE(QTest::qWaitFor([] { return songPositionMs() >= 100; }, 5000));
    PollSong();  // still playing: left alone
    EXPECT_GE(songPositionMs(), 100);
    StopSong();
    EXPECT_EQ(songLengthMs() + songPositionMs(), 0);

    // A song that ends within a second is not loaded again until its file changes; a
    // longer one starts again once it has ended.
    write("Musik/kurz.wav", wav(60));
    PlaySong(path("Musik/kurz.wav"));
    ASSERT_TRUE(QTest::qWaitFor([] { return songLengthMs() <= songPositionMs(); }, 5000))
        << "the song never ended";
    QTest::qWait(200);  // long past its end, and not restarted without a poll
    EXPECT_EQ(songPositionMs(), songLengthMs());  // an ended song stands at its end
    PollSong();
    EXPECT_EQ(songLengthMs(), 0);
    PlaySong(path("Musik/kurz.wav"));
    EXPECT_EQ(songLengthMs(), 0);
    write("Musik/lang.wav", wav(1100));
    PlaySong(path("Musik/lang.wav"));
    ASSERT_TRUE(QTest::qWaitFor([] { return songLengthMs() <= songPositionMs(); }, 10000));
    PollSong();
    EXPECT_GT(songLengthMs(), songPositionMs());  // playing again from the start

    // Switching sounds off leaves the one playing alone.
    write("Sound/start.wav", wav(2000));
    PlaySoundFile("SOUND\\Start.wav");  // below the program folder, in any case
    EXPECT_TRUE(soundPlaying());
    state().Options[OptSound] = false;
    PlaySoundFile("sound\\start.wav");
    EXPECT_TRUE(soundPlaying());
}

TEST_F(Audio, MissingUnplayableAndHostileFilesAreSilent) {
    PlaySong(path("Musik/fehlt.wav"));
    EXPECT_EQ(state().CurrentSong, path("Musik/fehlt.wav").toStdString());
    PollSong();  // tries the same file again, quietly
    EXPECT_EQ(songLengthMs(), 0);
    write("Musik/fehlt.wav", wav(500));  // once it is there, it plays
    PollSong();
    EXPECT_GT(songLengthMs(), 0);
    PlaySoundFile(std::string());
    PlaySoundFile(static_cast<const char*>(nullptr));

    // Checked before the audio library sees them: files it would crash on (no channels: a
    // division by zero), hang on (a FIFO) or swallow whole (a terabyte) are skipped.
    QByteArray noChannels = wav(500);
    noChannels[22] = 0;
    write("Musik/TITEL.wav", noChannels);
    write("Sound/start.wav", noChannels);
    // The same in an AIFF file: 0 channels, 2000 frames of 16 bits at 22050 Hz.
    write("Musik/titel.aiff",
          QByteArray("FORM\0\0\x0f\xce"
                     "AIFFCOMM\0\0\0\x12\0\0\0\0\x07\xd0\0\x10\x40\x0d\xac\x44\0\0\0\0\0\0"
                     "SSND\0\0\x0f\xa8",
                     46) +
              QByteArray(4008, '\0'));
    PlaySong(path("Musik/titel.aiff"));
    EXPECT_EQ(songLengthMs(), 0);
    PlaySong(path("Musik/TITEL.wav"));
    PlaySoundFile(path("Sound/start.wav"));
    EXPECT_EQ(songLengthMs(), 0);
    EXPECT_FALSE(soundPlaying());
    for (Hostile h : lumortest::AllHostile) {
        const QString name = QString::number(static_cast<int>(h)) + ".wav";
        ASSERT_TRUE(makeHostile(h, path("Musik/" + name).toStdString()));
        ASSERT_TRUE(makeHostile(h, path("Sound/" + name).toStdString()));
        PlaySong(path("Musik/" + name));
        PlaySoundFile(path("Sound/" + name));
        EXPECT_EQ(songLengthMs(), 0) << nameOf(h);
        EXPECT_FALSE(soundPlaying()) << nameOf(h);
    }

    // A module (loaded whole by its decoder) plays; one beyond the size limit for such
    // songs is not even read.
    QByteArray module(2308, '\0');
    module[43] = 100;                    // the first sample: 100 words of silence
    module[45] = 64;                     // at full volume
    module[950] = 1;                     // one position in the song: pattern 0
    module.replace(1080, 4, "M.K.", 4);  // four channels
    write("Musik/modul.mod", module);
    PlaySong(path("Musik/modul.mod"));
    EXPECT_GT(songLengthMs(), 0);
    write("Musik/riesig.mod", module);
    std::filesystem::resize_file(path("Musik/riesig.mod").toStdString(), 40 << 20);
    PlaySong(path("Musik/riesig.mod"));
    EXPECT_EQ(songLengthMs(), 0);

    // A song with a sampler chunk that promises loops it does not hold still plays, once,
    // as the plain samples it carries.
    write("Musik/Schleife.wav", wav(700) + QByteArray("smpl\x24\0\0\0", 8) + QByteArray(28, '\0') +
                                    QByteArray("\xff\xff\xff\x7f", 4) + QByteArray(4, '\0'));
    PlaySong(path("Musik/Schleife.wav"));
    EXPECT_NEAR(static_cast<double>(songLengthMs()), 700, 5);
}
