// MusicStream on the recording library: what play, stop, setVolume and destruction ask of
// the library, and the open failures.
#include "music/music_stream.h"
#include "music_test_support.h"

using ::testing::ElementsAre;
using ::testing::ExitedWithCode;
using ::testing::IsEmpty;

class MusicStreamTest : public MusicTest {
protected:
    std::string theme;

    void SetUp() override
    {
        MusicTest::SetUp();
        theme = scratch.write("theme.ogg", {'O', 'g', 'g', 'S', 0, 2});
        initSound();
        library.clearCalls();
    }
};

TEST_F(MusicStreamTest, OpensTheFileWithTheFixedModeAndClosesItOnDestruction)
{
    {
        MusicStream music(theme);
        EXPECT_EQ(music.fileName(), theme);
        EXPECT_FALSE(music.playing());
        EXPECT_THAT(library.calls(), ElementsAre("Stream_OpenFile " + theme + " 0x20130 0"));
        EXPECT_EQ(library.openStreamCount(), 1);
        library.clearCalls();
    }
    EXPECT_THAT(library.calls(), ElementsAre("Stream_Close stream1"));
    EXPECT_EQ(library.openStreamCount(), 0);
}

TEST_F(MusicStreamTest, PlaySeeksThenStartsPausedOnAFreeChannelThenUnpausesIt)
{
    MusicStream music(theme);
    library.clearCalls();
    music.play(30000);
    EXPECT_TRUE(music.playing());
    EXPECT_THAT(library.calls(), ElementsAre("Stream_SetTime stream1 30000", "Stream_PlayEx -1 stream1 paused",
                                             "SetPaused 1 0"));
}

TEST_F(MusicStreamTest, PlayWhilePlayingIsIgnoredPositionIncluded)
{
    MusicStream music(theme);
    music.play(1000);
    library.clearCalls();
    music.play(0);
    music.play(5000);
    EXPECT_THAT(library.calls(), IsEmpty());
    EXPECT_TRUE(music.playing());
}

TEST_F(MusicStreamTest, SetVolumeActsOnlyWhilePlayingOnTheChannelOfTheLastPlay)
{
    MusicStream music(theme);
    library.clearCalls();
    music.setVolume(128);
    EXPECT_THAT(library.calls(), IsEmpty()) << "no music playing: no effect";

    music.play(0);
    music.stop();
    music.play(0);  // the library hands out channel 2 this time
    library.clearCalls();
    music.setVolume(64);
    music.setVolume(300);  // passed on unchanged; the library decides what it means
    EXPECT_THAT(library.calls(), ElementsAre("SetVolume 2 64", "SetVolume 2 300"));

    music.stop();
    library.clearCalls();
    music.setVolume(10);
    EXPECT_THAT(library.calls(), IsEmpty()) << "stopped: no effect";
}

TEST_F(MusicStreamTest, VolumeIsNotRememberedForTheNextPlay)
{
    MusicStream music(theme);
    music.setVolume(128);
    library.clearCalls();
    music.play(0);
    EXPECT_THAT(library.calls(), ElementsAre("Stream_SetTime stream1 0", "Stream_PlayEx -1 stream1 paused",
                                             "SetPaused 1 0"));
}

TEST_F(MusicStreamTest, StopKeepsTheStreamOpenForAnotherPlayFromAnyPosition)
{
    MusicStream music(theme);
    music.play(1000);
    library.clearCalls();

    music.stop();
    EXPECT_FALSE(music.playing());
    EXPECT_THAT(library.calls(), ElementsAre("StopSound 1"));

    library.clearCalls();
    music.stop();
    EXPECT_THAT(library.calls(), IsEmpty()) << "stop while stopped does nothing";

    music.play(250);
    EXPECT_TRUE(music.playing());
    EXPECT_THAT(library.calls(), ElementsAre("Stream_SetTime stream1 250", "Stream_PlayEx -1 stream1 paused",
                                             "SetPaused 2 0"));
    EXPECT_EQ(library.openStreamCount(), 1);
}

TEST_F(MusicStreamTest, DestroyingAPlayingStreamOnlyClosesIt)
{
    {
        MusicStream music(theme);
        music.play(0);
        library.clearCalls();
    }
    EXPECT_THAT(library.calls(), ElementsAre("Stream_Close stream1"));
}

TEST_F(MusicStreamTest, AMissingFileShowsFileNotFoundClosesTheLibraryAndExits)
{
    const std::string missing = scratch.path("missing.mp3");
    EXPECT_EQ(exitCodeOf([&] { MusicStream music(missing); }), 0);
    ASSERT_EQ(fakeShell.boxes.size(), 1u);
    EXPECT_EQ(fakeShell.boxes[0].caption, "VE3Vazaru Error");
    EXPECT_EQ(fakeShell.boxes[0].text, "File not found");
    EXPECT_EQ(fakeShell.boxes[0].style, MB_OK);
    EXPECT_THAT(library.calls(), ElementsAre("Stream_OpenFile " + missing + " 0x20130 0", "GetError", "Close"));
}

TEST_F(MusicStreamTest, AnUndecodableFileShowsTheLibraryError)
{
    library.openFailureCode = FMOD_ERR_FILE_FORMAT;
    EXPECT_EQ(exitCodeOf([&] { MusicStream music(theme); }), 0);
    ASSERT_EQ(fakeShell.boxes.size(), 1u);
    EXPECT_EQ(fakeShell.boxes[0].caption, "VE3Vazaru Error");
    EXPECT_EQ(fakeShell.boxes[0].text, "Unknown file format");
}

TEST_F(MusicStreamTest, OpenFailureDiesWithExitCode0)
{
    library.openFailureCode = FMOD_ERR_MEMORY;
    EXPECT_EXIT(
        {
            setShell(nullptr);
            MusicStream music(theme);
        },
        ExitedWithCode(0), "VE3Vazaru Error: Not enough memory \n");
}
