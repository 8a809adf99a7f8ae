// The soundtrack recorder as the music player drives it: what it keeps of each stretch of
// music (file, start, file position, volumes, end) for call sequences the script can make,
// and how it answers opens the real library would refuse.
#include "platform/sound/soundtrack_recorder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

namespace {

// Files the callbacks serve, by name.
std::map<std::string, std::string> servedFiles;
struct Served {
    std::string bytes;
    std::size_t position = 0;
};

void* openServed(const char* name)
{
    const auto found = servedFiles.find(name);
    return found == servedFiles.end() ? nullptr : new Served{found->second};
}
void closeServed(void* handle)
{
    delete static_cast<Served*>(handle);
}
int readServed(void* buffer, int size, void* handle)
{
    auto* file = static_cast<Served*>(handle);
    const std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(size), file->bytes.size() - file->position);
    std::memcpy(buffer, file->bytes.data() + file->position, count);
    file->position += count;
    return static_cast<int>(count);
}
int seekServed(void*, int, signed char)
{
    return 0;
}
int tellServed(void* handle)
{
    return static_cast<int>(static_cast<Served*>(handle)->position);
}

class SoundtrackRecorderTest : public ::testing::Test {
protected:
    double now = 0;
    bool accept = true;
    SoundtrackRecorder recorder{[this] { return now; }, [this](std::span<const std::uint8_t>) { return accept; }};

    void SetUp() override
    {
        servedFiles = {{"a.ogg", "first music"}, {"b.ogg", "second music"}};
        ASSERT_TRUE(recorder.Init(44100, 32, 0));
        recorder.File_SetCallbacks(openServed, closeServed, readServed, seekServed, tellServed);
    }

    // What MusicStream::play does: seek, play paused, unpause.
    int play(SoundStream* stream, int fromMs)
    {
        recorder.Stream_SetTime(stream, fromMs);
        const int channel = recorder.Stream_PlayEx(FSOUND_FREE, stream, nullptr, true);
        recorder.SetPaused(channel, false);
        return channel;
    }
};

TEST_F(SoundtrackRecorderTest, KeepsStartPositionVolumesAndStopOnTheClock)
{
    SoundStream* stream = recorder.Stream_OpenFile("a.ogg", 0x20130, 0);
    ASSERT_NE(stream, nullptr);
    now = 120;
    const int channel = play(stream, 30000);
    now = 500;
    recorder.SetVolume(channel, 200);
    recorder.SetVolume(channel, 100);  // same instant: only the later one sounds
    now = 900;
    recorder.SetVolume(channel, 50);
    now = 1500;
    recorder.StopSound(channel);

    ASSERT_EQ(recorder.files().size(), 1u);
    EXPECT_EQ(recorder.files()[0].name, "a.ogg");
    EXPECT_EQ(std::string(recorder.files()[0].bytes.begin(), recorder.files()[0].bytes.end()), "first music");
    ASSERT_EQ(recorder.playbacks().size(), 1u);
    const MusicPlayback& playback = recorder.playbacks()[0];
    EXPECT_EQ(playback.startMs, 120);
    EXPECT_EQ(playback.fileMs, 30000);
    EXPECT_EQ(playback.endMs, 1500);
    ASSERT_EQ(playback.volumes.size(), 3u);
    EXPECT_EQ(playback.volumes[0].atMs, 120);
    EXPECT_EQ(playback.volumes[0].volume, 255);
    EXPECT_EQ(playback.volumes[1].atMs, 500);
    EXPECT_EQ(playback.volumes[1].volume, 100);
    EXPECT_EQ(playback.volumes[2].volume, 50);
}

TEST_F(SoundtrackRecorderTest, SecondMusicEndsTheFirstAsTheMixerDoes)
{
    SoundStream* a = recorder.Stream_OpenFile("a.ogg", 0, 0);
    SoundStream* b = recorder.Stream_OpenFile("b.ogg", 0, 0);
    const int first = play(a, 0);
    now = 2000;
    play(b, 10);
    now = 2500;
    // The first channel was ended: its handle no longer reaches anything.
    EXPECT_FALSE(recorder.SetVolume(first, 10));
    recorder.finish(3000);

    ASSERT_EQ(recorder.playbacks().size(), 2u);
    EXPECT_EQ(recorder.playbacks()[0].file, 0u);
    EXPECT_EQ(recorder.playbacks()[0].endMs, 2000);
    EXPECT_EQ(recorder.playbacks()[1].file, 1u);
    EXPECT_EQ(recorder.playbacks()[1].fileMs, 10);
    EXPECT_EQ(recorder.playbacks()[1].endMs, 3000);
}

TEST_F(SoundtrackRecorderTest, SeekPauseAndResumeSplitTheStretch)
{
    SoundStream* stream = recorder.Stream_OpenFile("a.ogg", 0, 0);
    now = 100;
    const int channel = play(stream, 1000);
    recorder.SetVolume(channel, 80);
    now = 600;
    recorder.Stream_SetTime(stream, 5000);  // a seek while sounding
    now = 800;
    recorder.SetPaused(channel, true);
    now = 1000;
    recorder.SetPaused(channel, false);  // resumes where the pause left it
    now = 1100;
    recorder.Stream_Close(stream);

    const auto& playbacks = recorder.playbacks();
    ASSERT_EQ(playbacks.size(), 3u);
    EXPECT_EQ(playbacks[0].endMs, 600);
    EXPECT_EQ(playbacks[1].startMs, 600);
    EXPECT_EQ(playbacks[1].fileMs, 5000);
    EXPECT_EQ(playbacks[1].volumes[0].volume, 80) << "the channel's volume carries over";
    EXPECT_EQ(playbacks[1].endMs, 800);
    EXPECT_EQ(playbacks[2].startMs, 1000);
    EXPECT_EQ(playbacks[2].fileMs, 5200);
    EXPECT_EQ(playbacks[2].endMs, 1100);
}

TEST_F(SoundtrackRecorderTest, NothingSoundsUntilUnpausedAndVolumeWhileSilentIsNotAStretch)
{
    SoundStream* stream = recorder.Stream_OpenFile("a.ogg", 0, 0);
    const int channel = recorder.Stream_PlayEx(FSOUND_FREE, stream, nullptr, true);
    recorder.SetVolume(channel, 40);
    EXPECT_TRUE(recorder.playbacks().empty());
    now = 300;
    recorder.SetPaused(channel, false);
    ASSERT_EQ(recorder.playbacks().size(), 1u);
    EXPECT_EQ(recorder.playbacks()[0].volumes[0].volume, 40);
    recorder.Close();
    EXPECT_EQ(recorder.playbacks()[0].endMs, 300);
}

TEST_F(SoundtrackRecorderTest, OpensFailLikeTheRealLibrary)
{
    struct Case {
        const char* name;
        bool decodable;
        int error;
    };
    const Case cases[] = {
        {"missing.ogg", true, FMOD_ERR_FILE_NOTFOUND},
        {"a.ogg", false, FMOD_ERR_FILE_FORMAT},
    };
    for (const Case& c : cases) {
        accept = c.decodable;
        EXPECT_EQ(recorder.Stream_OpenFile(c.name, 0, 0), nullptr) << c.name;
        EXPECT_EQ(recorder.GetError(), c.error) << c.name;
    }
    // A WAVE header the mixer's decoder must never see is refused before any check.
    accept = true;
    static const char zeroChannels[] =
        "RIFF\x24\0\0\0WAVEfmt \x10\0\0\0\x01\0\0\0\x44\xac\0\0\0\0\0\0\0\0\x10\0data\0\0\0\0";
    servedFiles["zero.wav"] = std::string(zeroChannels, sizeof zeroChannels - 1);
    EXPECT_EQ(recorder.Stream_OpenFile("zero.wav", 0, 0), nullptr);
    EXPECT_EQ(recorder.GetError(), FMOD_ERR_FILE_FORMAT);
    EXPECT_TRUE(recorder.files().empty());
}

TEST_F(SoundtrackRecorderTest, AFileOpenedTwiceIsKeptOnce)
{
    SoundStream* first = recorder.Stream_OpenFile("a.ogg", 0, 0);
    SoundStream* second = recorder.Stream_OpenFile("a.ogg", 0, 0);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_EQ(recorder.files().size(), 1u);
}

} // namespace
