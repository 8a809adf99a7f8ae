// initSound and closeSound on the recording library: the fixed call sequence, the version
// check and the start-up failure path.
#include "music/music_file_callbacks.h"
#include "music/music_stream.h"
#include "music_test_support.h"

using ::testing::ElementsAre;
using ::testing::ExitedWithCode;

using SoundStartupTest = MusicTest;

TEST_F(SoundStartupTest, StartsTheLibraryWithTheFixedSettingsInOrder)
{
    initSound();
    EXPECT_THAT(library.calls(), ElementsAre("GetVersion", "SetOutput 2", "SetDriver 0", "SetBufferSize 150",
                                             "Init 44100 32 0", "Stream_SetBufferSize 2000", "File_SetCallbacks"));
    EXPECT_TRUE(library.initialised());
    EXPECT_TRUE(fakeShell.boxes.empty());

    const SoundFileCallbacks& callbacks = library.fileCallbacks();
    EXPECT_EQ(callbacks.open, &openMusicFile);
    EXPECT_EQ(callbacks.close, &closeMusicFile);
    EXPECT_EQ(callbacks.read, &readMusicFile);
    EXPECT_EQ(callbacks.seek, &seekMusicFile);
    EXPECT_EQ(callbacks.tell, &tellMusicFile);

    library.clearCalls();
    closeSound();
    EXPECT_THAT(library.calls(), ElementsAre("Close"));
    EXPECT_FALSE(library.initialised());
}

TEST_F(SoundStartupTest, TheRequiredVersionItselfAndNewerOnesPass)
{
    library.requiredVersion = 3.63f;
    library.version = 3.63f;
    initSound();
    EXPECT_TRUE(library.initialised());

    closeSound();
    library.requiredVersion = 2.06f;
    library.version = 2.10f;
    initSound();
    EXPECT_TRUE(library.initialised());
    EXPECT_TRUE(fakeShell.boxes.empty());
}

TEST_F(SoundStartupTest, AnOlderLibraryEndsTheRunBeforeAnySetting)
{
    library.name = "SDL2_mixer";
    library.requiredVersion = 2.06f;
    library.version = 2.05f;
    EXPECT_EQ(exitCodeOf([] { initSound(); }), 0);

    ASSERT_EQ(fakeShell.boxes.size(), 1u);
    EXPECT_EQ(fakeShell.boxes[0].caption, "Error in VE3Vazaru!");
    EXPECT_EQ(fakeShell.boxes[0].text,
              "Error : You are using the wrong DLL version!  You should be using SDL2_mixer 2.06\n");
    EXPECT_EQ(fakeShell.boxes[0].style, MB_OK);
    EXPECT_THAT(library.calls(), ElementsAre("GetVersion"));
}

TEST_F(SoundStartupTest, TheVersionMessageNamesTheLibraryInUseAndTheVersionItNeeds)
{
    library.name = "FakeSound";
    library.requiredVersion = 3.63f;
    library.version = 3.62f;
    EXPECT_EQ(exitCodeOf([] { initSound(); }), 0);
    ASSERT_EQ(fakeShell.boxes.size(), 1u);
    EXPECT_EQ(fakeShell.boxes[0].text,
              "Error : You are using the wrong DLL version!  You should be using FakeSound 3.63\n");
}

TEST_F(SoundStartupTest, WrongVersionDiesWithExitCode0)
{
    library.requiredVersion = 2.06f;
    library.version = 1.02f;
    EXPECT_EXIT(
        {
            setShell(nullptr);
            initSound();
        },
        ExitedWithCode(0),
        "Error in VE3Vazaru!: Error : You are using the wrong DLL version!  You should be using SDL2_mixer 2\\.06");
}

// Records how many boxes had been shown when the library was closed.
class CloseWatchingLibrary : public RecordingSoundLibrary {
public:
    explicit CloseWatchingLibrary(const ScriptedShell& shell) : shell_(shell) {}
    void Close() override
    {
        boxesAtClose = static_cast<int>(shell_.boxes.size());
        RecordingSoundLibrary::Close();
    }
    int boxesAtClose = -1;

private:
    const ScriptedShell& shell_;
};

TEST_F(SoundStartupTest, InitFailureShowsTheLibraryErrorThenClosesTheLibraryThenExits)
{
    CloseWatchingLibrary watching(fakeShell);
    setSoundLibrary(&watching);
    watching.initFailureCode = FMOD_ERR_INIT;

    EXPECT_EQ(exitCodeOf([] { initSound(); }), 0);
    ASSERT_EQ(fakeShell.boxes.size(), 1u);
    EXPECT_EQ(fakeShell.boxes[0].caption, "VE3Vazaru Error");
    EXPECT_EQ(fakeShell.boxes[0].text, "Error initializing output device.");
    EXPECT_EQ(fakeShell.boxes[0].style, MB_OK);
    EXPECT_EQ(watching.boxesAtClose, 1) << "the box comes before the library is closed";
    EXPECT_THAT(watching.calls(), ElementsAre("GetVersion", "SetOutput 2", "SetDriver 0", "SetBufferSize 150",
                                              "Init 44100 32 0", "GetError", "Close"));
}

TEST_F(SoundStartupTest, InitFailureWithACodeOutsideTheTableSaysUnknownError)
{
    library.initFailureCode = 99;
    EXPECT_EQ(exitCodeOf([] { initSound(); }), 0);
    ASSERT_EQ(fakeShell.boxes.size(), 1u);
    EXPECT_EQ(fakeShell.boxes[0].text, "Unknown error");
}

TEST_F(SoundStartupTest, InitFailureDiesWithExitCode0)
{
    library.initFailureCode = FMOD_ERR_OUTPUT_FORMAT;
    EXPECT_EXIT(
        {
            setShell(nullptr);
            initSound();
        },
        ExitedWithCode(0),
        "VE3Vazaru Error: Soundcard does not support the features needed for this soundsystem \\(16bit stereo output\\)");
}
