// The music player on the real SDL_mixer library, heard through SDL's "disk" audio driver:
// a tone whose pitch rises at a known time shows where playback starts, how loud it is and
// when it stops. The driver writes in real time, so the clips are kept short; the test waits
// on the written audio itself, never on the clock.
#include "archive/archive_access.h"
#include "archive/container_writer.h"
#include "archive/resource_archive.h"
#include "disk_audio.h"
#include "music/music_stream.h"
#include "music_test_support.h"
#include "test_tone.h"

#include <cstdlib>

using ::testing::ExitedWithCode;

namespace {

constexpr int kRate = 44100;
constexpr double kAmplitude = 0.5;
// Half a period is 50 frames at 440 Hz and 25 at 880 Hz.
constexpr double kHighPitchHalfPeriod = 37.0;

// 440 Hz for the first two seconds, 880 Hz for four more.
std::vector<std::uint8_t> risingTone()
{
    return wavFile(kRate, toneSamples(kRate, kAmplitude, {{2.0, 440.0}, {4.0, 880.0}}));
}

} // namespace

class MixerPlaybackTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    std::string output = scratch.path("mix.raw");
    DiskAudio audio{output, kRate};

    void SetUp() override
    {
        GTEST_FLAG_SET(death_test_style, "threadsafe");  // the mixer runs threads of its own
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
        setSoundLibrary(nullptr);
    }
    void TearDown() override
    {
        closeSound();
        setTheArchive(nullptr);
    }
};

TEST_F(MixerPlaybackTest, StartsAtThePositionFollowsTheVolumeFallsSilentOnStopAndPlaysAgain)
{
    const std::string tone = scratch.write("tone.wav", risingTone());
    initSound();

    std::size_t start = 0, atVolume = 0, atStop = 0, atReplay = 0, restart = 0;
    {
        MusicStream music(tone);
        music.play(1500);
        start = audio.waitForSound(0);
        ASSERT_NE(start, DiskAudio::npos) << "nothing was heard";
        ASSERT_TRUE(audio.waitForFrames(start + audio.ms(700)));

        atVolume = audio.frames();
        music.setVolume(64);
        ASSERT_TRUE(audio.waitForFrames(atVolume + audio.ms(400)));

        atStop = audio.frames();
        music.stop();
        ASSERT_TRUE(audio.waitForFrames(atStop + audio.ms(300)));

        atReplay = audio.frames();
        music.play(1900);
        restart = audio.waitForSound(atReplay);
        ASSERT_NE(restart, DiskAudio::npos) << "the second play was not heard";
        ASSERT_TRUE(audio.waitForFrames(restart + audio.ms(300)));
        music.stop();
    }
    closeSound();  // the driver closes its file: everything is on the disk now
    const std::vector<std::int16_t> samples = audio.left();

    // Played from 1500 ms: 440 Hz, rising to 880 Hz 500 ms after the start (the change is
    // found within a period of where it is).
    const std::size_t change = firstShortHalfPeriod(samples, start, kHighPitchHalfPeriod);
    ASSERT_NE(change, DiskAudio::npos);
    EXPECT_NEAR(static_cast<double>(change - start), static_cast<double>(audio.ms(500)), audio.ms(3));
    EXPECT_NEAR(frequency(samples, start + audio.ms(20), start + audio.ms(480), kRate), 440.0, 4.0);
    EXPECT_NEAR(frequency(samples, change + audio.ms(20), atVolume, kRate), 880.0, 8.0);

    // Volume 64 of 255 is 32 of the mixer's 128: a quarter of the full level, from the call on.
    const double full = rms(samples, start + audio.ms(20), atVolume);
    EXPECT_NEAR(full, kAmplitude * 32767.0 / std::sqrt(2.0), 200.0);
    std::size_t quietFrom = DiskAudio::npos;
    for (std::size_t at = start; at + audio.ms(5) < samples.size(); at += audio.ms(1)) {
        if (rms(samples, at, at + audio.ms(5)) < 0.6 * full) {
            quietFrom = at;
            break;
        }
    }
    ASSERT_NE(quietFrom, DiskAudio::npos) << "the volume never fell";
    EXPECT_GE(quietFrom + audio.ms(5), atVolume) << "quieter before setVolume was called";
    EXPECT_LE(quietFrom, atVolume + audio.ms(150));

    // Stop: silence from shortly after the call until the second play.
    const std::size_t end = firstSound(samples, atReplay) == restart
        ? lastSound(std::vector<std::int16_t>(samples.begin(), samples.begin() + static_cast<long>(atReplay)))
        : DiskAudio::npos;
    ASSERT_NE(end, DiskAudio::npos) << "sound between the stop and the second play";
    EXPECT_GE(end + 1, atStop) << "silent before stop was called";
    EXPECT_LE(end, atStop + audio.ms(150)) << "still playing well after stop";
    EXPECT_GE(restart - end, audio.ms(250));
    EXPECT_NEAR(rms(samples, quietFrom + audio.ms(20), end - audio.ms(20)) / full, 0.25, 0.01);
    EXPECT_NEAR(frequency(samples, quietFrom + audio.ms(20), end - audio.ms(20), kRate), 880.0, 8.0);

    // Played again from 1900 ms: the pitch rises 100 ms in, and at full volume: the volume
    // set for the first play is not kept.
    const std::size_t change2 = firstShortHalfPeriod(samples, restart, kHighPitchHalfPeriod);
    ASSERT_NE(change2, DiskAudio::npos);
    EXPECT_NEAR(static_cast<double>(change2 - restart), static_cast<double>(audio.ms(100)), audio.ms(3));
    EXPECT_NEAR(rms(samples, restart + audio.ms(5), restart + audio.ms(95)) / full, 1.0, 0.03);
}

TEST_F(MixerPlaybackTest, MusicFoundOnlyInTheArchiveStreamsFromIt)
{
    const std::string name = "mixer_playback_archive_only.wav";
    const ContainerResult container = writeContainer({{name, risingTone(), 0}}, 0);
    ASSERT_TRUE(container.error.empty()) << container.error;
    ResourceArchive archive;
    ASSERT_TRUE(archive.open(scratch.write("demo.cfl", container.bytes)));
    setTheArchive(&archive);
    initSound();

    std::size_t start = 0;
    {
        MusicStream music(name);
        music.play(2500);
        start = audio.waitForSound(0);
        ASSERT_NE(start, DiskAudio::npos) << "nothing was heard";
        ASSERT_TRUE(audio.waitForFrames(start + audio.ms(200)));
    }
    closeSound();
    const std::vector<std::int16_t> samples = audio.left();
    EXPECT_NEAR(frequency(samples, start, start + audio.ms(150), kRate), 880.0, 8.0);
}

TEST_F(MixerPlaybackTest, AMissingFileEndsTheRunWithFileNotFound)
{
    EXPECT_EXIT(
        {
            setShell(nullptr);
            initSound();
            MusicStream music(scratch.path("missing.ogg"));
        },
        ExitedWithCode(0), "VE3Vazaru Error: File not found");
}

TEST_F(MixerPlaybackTest, AFileThatIsNoMusicEndsTheRunWithUnknownFileFormat)
{
    const std::string text(2000, 'x');
    const std::string path = scratch.write("notes.ogg", std::vector<std::uint8_t>(text.begin(), text.end()));
    EXPECT_EXIT(
        {
            setShell(nullptr);
            initSound();
            MusicStream music(path);
        },
        ExitedWithCode(0), "VE3Vazaru Error: Unknown file format");
}

TEST_F(MixerPlaybackTest, AnAudioOutputThatCannotBeOpenedEndsTheRunAtStartUp)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EXIT(
        {
            setShell(nullptr);
            initSound();
        },
        ExitedWithCode(0), "VE3Vazaru Error: Error initializing output device\\.");
}
