// The SDL_mixer sound library's own rules, on a library instance of the test's: failures and
// their error codes, file access only through the installed callbacks, channel handles, and
// the "no sound" output.
#include "disk_audio.h"
#include "music/music_file_callbacks.h"
#include "music_test_support.h"
#include "platform/sound/sdl_mixer_sound_library.h"
#include "test_tone.h"

#include <cstdlib>
#include <string>

namespace {

// Counting wrappers around the music player's callbacks.
struct FileCounts {
    int opens = 0;
    int closes = 0;
    int reads = 0;
    std::string lastName;
};
FileCounts counts;

void* countingOpen(const char* name)
{
    ++counts.opens;
    counts.lastName = name;
    return openMusicFile(name);
}
void countingClose(void* handle)
{
    ++counts.closes;
    closeMusicFile(handle);
}
int countingRead(void* buffer, int size, void* handle)
{
    ++counts.reads;
    return readMusicFile(buffer, size, handle);
}

std::vector<std::uint8_t> shortTone()
{
    return wavFile(22050, toneSamples(22050, 0.5, {{0.5, 440.0}}));
}

} // namespace

class MixerLibraryTest : public ::testing::Test {
protected:
    ScratchFolder scratch;
    SdlMixerSoundLibrary library;
    std::string tone = scratch.write("tone.wav", shortTone());

    void SetUp() override
    {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", scratch.path("mix.raw").c_str(), 1);
        counts = {};
    }

    void start()
    {
        ASSERT_TRUE(library.Init(44100, 32, 0));
        library.File_SetCallbacks(countingOpen, countingClose, countingRead, seekMusicFile, tellMusicFile);
    }
};

TEST_F(MixerLibraryTest, OpeningBeforeInitAndSettingUpAfterItFail)
{
    EXPECT_EQ(library.Stream_OpenFile(tone.c_str(), 0, 0), nullptr);
    EXPECT_EQ(library.GetError(), FMOD_ERR_UNINITIALIZED);
    start();
    EXPECT_FALSE(library.SetOutput(FSOUND_OUTPUT_DSOUND));
    EXPECT_EQ(library.GetError(), FMOD_ERR_BUSY);
}

TEST_F(MixerLibraryTest, OpenFailuresSayFileNotFoundOrUnknownFormat)
{
    start();
    EXPECT_EQ(library.Stream_OpenFile(scratch.path("absent.ogg").c_str(), 0, 0), nullptr);
    EXPECT_EQ(library.GetError(), FMOD_ERR_FILE_NOTFOUND);

    const std::string text(2000, 'x');
    const std::string notMusic = scratch.write("notes.mp3", std::vector<std::uint8_t>(text.begin(), text.end()));
    EXPECT_EQ(library.Stream_OpenFile(notMusic.c_str(), 0, 0), nullptr);
    EXPECT_EQ(library.GetError(), FMOD_ERR_FILE_FORMAT);

    const std::string empty = scratch.write("empty.ogg", {});
    EXPECT_EQ(library.Stream_OpenFile(empty.c_str(), 0, 0), nullptr);
    EXPECT_EQ(library.GetError(), FMOD_ERR_FILE_FORMAT);

    std::vector<std::uint8_t> cut = shortTone();
    cut.resize(30);  // a WAV header that ends inside its format chunk
    const std::string truncated = scratch.write("cut.wav", cut);
    EXPECT_EQ(library.Stream_OpenFile(truncated.c_str(), 0, 0), nullptr);
    EXPECT_EQ(library.GetError(), FMOD_ERR_FILE_FORMAT);

    EXPECT_EQ(counts.opens, 4);
    EXPECT_EQ(counts.closes, 3) << "every file that opened but failed to decode is closed again";
}

// Zero channels used to end the process with SIGFPE inside the decoder; each of these is
// refused as a bad format instead, and the untouched file still opens.
TEST_F(MixerLibraryTest, ImpossibleWaveFormatsAreRefusedBeforeTheDecoderRuns)
{
    start();
    struct Field {
        const char* what;
        std::size_t offset;  // in the 44-byte header of wavFile
        int bytes;
        std::uint32_t value;
    };
    const Field fields[] = {{"no channels", 22, 2, 0}, {"no rate", 24, 4, 0},     {"no block align", 32, 2, 0},
                            {"no bits", 34, 2, 0},     {"odd block align", 32, 2, 3}};
    for (const Field& field : fields) {
        std::vector<std::uint8_t> file = shortTone();
        for (int i = 0; i < field.bytes; ++i) file[field.offset + i] = static_cast<std::uint8_t>(field.value >> (8 * i));
        const std::string path = scratch.write("bad.wav", file);
        EXPECT_EQ(library.Stream_OpenFile(path.c_str(), 0, 0), nullptr) << field.what;
        EXPECT_EQ(library.GetError(), FMOD_ERR_FILE_FORMAT) << field.what;
    }
    EXPECT_NE(library.Stream_OpenFile(tone.c_str(), 0, 0), nullptr);
}

TEST_F(MixerLibraryTest, AStreamReadsItsFileOnlyThroughTheCallbacksUntilClosed)
{
    start();
    SoundStream* stream = library.Stream_OpenFile(tone.c_str(), 0, 0);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(counts.opens, 1);
    EXPECT_EQ(counts.lastName, tone);
    EXPECT_GT(counts.reads, 0);
    EXPECT_EQ(counts.closes, 0) << "the file stays open while the stream is";

    EXPECT_TRUE(library.Stream_Close(stream));
    EXPECT_EQ(counts.closes, 1);
    EXPECT_FALSE(library.Stream_Close(stream)) << "a closed stream is no stream";
    EXPECT_EQ(library.GetError(), FMOD_ERR_INVALID_PARAM);
}

TEST_F(MixerLibraryTest, CloseReleasesEveryStreamStillOpen)
{
    start();
    ASSERT_NE(library.Stream_OpenFile(tone.c_str(), 0, 0), nullptr);
    ASSERT_NE(library.Stream_OpenFile(tone.c_str(), 0, 0), nullptr);
    library.Close();
    EXPECT_EQ(counts.closes, 2);
}

TEST_F(MixerLibraryTest, AChannelHandleStopsWorkingOnceItsChannelIsStoppedOrTakenOver)
{
    start();
    SoundStream* first = library.Stream_OpenFile(tone.c_str(), 0, 0);
    SoundStream* second = library.Stream_OpenFile(tone.c_str(), 0, 0);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);

    const int channel = library.Stream_PlayEx(FSOUND_FREE, first, nullptr, true);
    ASSERT_GE(channel, 0);
    EXPECT_TRUE(library.SetPaused(channel, false));
    EXPECT_TRUE(library.SetVolume(channel, 100));
    EXPECT_TRUE(library.StopSound(channel));
    EXPECT_FALSE(library.SetVolume(channel, 100));
    EXPECT_EQ(library.GetError(), FMOD_ERR_INVALID_PARAM);

    const int again = library.Stream_PlayEx(FSOUND_FREE, first, nullptr, false);
    ASSERT_GE(again, 0);
    EXPECT_NE(again, channel) << "a reused channel gets a new handle";
    EXPECT_FALSE(library.StopSound(channel));

    // The mixer sounds one music at a time: starting another ends the first one's channel.
    const int other = library.Stream_PlayEx(FSOUND_FREE, second, nullptr, false);
    ASSERT_GE(other, 0);
    EXPECT_FALSE(library.SetVolume(again, 10));
    EXPECT_TRUE(library.SetVolume(other, 10));
}

TEST_F(MixerLibraryTest, WhenEveryChannelIsTakenPlayFailsToAllocateOne)
{
    ASSERT_TRUE(library.Init(44100, 2, 0));
    SoundStream* streams[3];
    for (SoundStream*& stream : streams) {
        stream = library.Stream_OpenFile(tone.c_str(), 0, 0);
        ASSERT_NE(stream, nullptr);
    }
    EXPECT_GE(library.Stream_PlayEx(FSOUND_FREE, streams[0], nullptr, true), 0);
    EXPECT_GE(library.Stream_PlayEx(FSOUND_FREE, streams[1], nullptr, true), 0);
    EXPECT_EQ(library.Stream_PlayEx(FSOUND_FREE, streams[2], nullptr, true), -1);
    EXPECT_EQ(library.GetError(), FMOD_ERR_CHANNEL_ALLOC);
    EXPECT_EQ(library.Stream_PlayEx(5, streams[2], nullptr, true), -1) << "there is no channel 5";
    EXPECT_EQ(library.GetError(), FMOD_ERR_INVALID_PARAM);
}

TEST_F(MixerLibraryTest, TheNoSoundOutputNeedsNoAudioDevice)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ASSERT_TRUE(library.SetOutput(FSOUND_OUTPUT_NOSOUND));
    EXPECT_TRUE(library.Init(44100, 32, 0));
    library.Close();

    ASSERT_TRUE(library.SetOutput(FSOUND_OUTPUT_DSOUND));
    EXPECT_FALSE(library.Init(44100, 32, 0)) << "the real output uses the driver asked for";
    EXPECT_EQ(library.GetError(), FMOD_ERR_INIT);
}

TEST_F(MixerLibraryTest, SettingTheTimeOfASoundingWavStreamMovesItThere)
{
    const std::string rising = scratch.write("rising.wav", wavFile(44100, toneSamples(44100, 0.5, {{2.0, 440.0}, {2.0, 880.0}})));
    const DiskAudio audio(scratch.path("mix.raw"), 44100);
    start();
    SoundStream* stream = library.Stream_OpenFile(rising.c_str(), 0, 0);
    ASSERT_NE(stream, nullptr);
    ASSERT_GE(library.Stream_PlayEx(FSOUND_FREE, stream, nullptr, false), 0);
    const std::size_t begin = audio.waitForSound(0);
    ASSERT_NE(begin, DiskAudio::npos);
    ASSERT_TRUE(audio.waitForFrames(begin + audio.ms(200)));

    const std::size_t atSeek = audio.frames();
    EXPECT_TRUE(library.Stream_SetTime(stream, 2500));
    ASSERT_TRUE(audio.waitForFrames(atSeek + audio.ms(300)));
    library.Close();

    // Without the move the pitch would rise two seconds in.
    const std::vector<std::int16_t> samples = audio.left();
    const std::size_t rise = pitchRise(samples, begin, 440.0, 880.0, 44100);
    ASSERT_NE(rise, DiskAudio::npos);
    EXPECT_GE(rise + audio.ms(5), atSeek);
    EXPECT_LE(rise, atSeek + audio.ms(150));
    EXPECT_NEAR(frequency(samples, rise + audio.ms(10), atSeek + audio.ms(280), 44100), 880.0, 8.0);
}
