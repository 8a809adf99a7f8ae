// The frame update on a virtual clock: commands run in order until one has to wait, each with
// the clock read just before it; the time commands move the origins; the last command ends
// the run without drawing.
#include "content2d/flash_player.h"
#include "music/music_stream.h"
#include "scripter_fixture.h"

using Timeline = ScripterTest;

TEST_F(Timeline, WaitZeroHoldsAtLeastOneFrameAndUntilTheClockMoves) {
    load("wait 0\nwaituntil 0\nwait 1000000\n");
    EXPECT_FALSE(frameAt(100.0f));
    EXPECT_EQ(scripter->nextCommand(), 0u);
    EXPECT_FALSE(frameAt(100.0f));
    EXPECT_EQ(scripter->nextCommand(), 0u);
    EXPECT_FALSE(frameAt(100.25f));
    EXPECT_EQ(scripter->nextCommand(), 2u);
}

TEST_F(Timeline, WaitCountsFromItsFirstRunNotFromTheScriptStart) {
    load("waituntil 5000\nwait 300\nstopscene\nwait 1000000\n");
    EXPECT_FALSE(frameAt(5000.0f));  // 5000 > 5000 is false
    EXPECT_FALSE(frameAt(5001.0f));  // waituntil passes; the wait starts at 5001
    EXPECT_EQ(scripter->nextCommand(), 1u);
    EXPECT_FALSE(frameAt(5301.0f));  // not strictly after 5001 + 300
    EXPECT_EQ(scripter->nextCommand(), 1u);
    EXPECT_FALSE(frameAt(5301.5f));
    EXPECT_EQ(scripter->nextCommand(), 3u);
}

TEST_F(Timeline, PassedWaitUntilLetsTheFollowingCommandsRunInTheSameFrame) {
    load("waituntil 10\nsetvolume 1\nwaituntil 20\nsetvolume 2\nwaituntil 100000\n");
    EXPECT_FALSE(frameAt(5000.0f));
    EXPECT_EQ(scripter->nextCommand(), 4u);
    EXPECT_EQ(clockReads, 5);  // one reading per command run
}

TEST_F(Timeline, EachCommandSeesTheClockReadJustBeforeIt) {
    // The settime runs at the second reading (40): the script clock then reads 1000 there,
    // so the waituntil, run at the third reading (45), sees 1005.
    load("waituntil 0\nsettime 1000\nwaituntil 1004\nwaituntil 1000000\n");
    readings = {30.0f, 40.0f, 45.0f, 47.0f};
    EXPECT_FALSE(scripter->update());
    EXPECT_EQ(scripter->clocks().scriptOrigin, 40.0f - 1000.0f);
    EXPECT_EQ(scripter->nextCommand(), 3u);
    EXPECT_EQ(clockReads, 4);
}

TEST_F(Timeline, LastCommandEndsTheRunWithoutDrawingThatFrame) {
    load("createcolor 0 0 255 blue\nsetlayer blue 0\nwaituntil 100\nsetvolume 3\n");
    EXPECT_FALSE(frameAt(0.0f));
    EXPECT_EQ(device->countCalls("BeginScene"), 1u);
    EXPECT_EQ(device->drawCount(), 1u);
    device->clearCalls();
    EXPECT_TRUE(frameAt(500.0f));
    EXPECT_EQ(scripter->nextCommand(), 4u);
    EXPECT_TRUE(device->calls().empty());
    EXPECT_EQ(device->drawCount(), 1u);
    // Later frames end at once, without reading the clock.
    const int reads = clockReads;
    EXPECT_TRUE(frameAt(600.0f));
    EXPECT_EQ(clockReads, reads);
}

TEST_F(Timeline, EmptyScriptEndsAtTheFirstFrame) {
    load("# nothing\n");
    EXPECT_TRUE(frameAt(0.0f));
    EXPECT_EQ(clockReads, 0);
    EXPECT_EQ(device->countCalls("BeginScene"), 0u);
}

TEST_F(Timeline, FrameIsDrawnBetweenBeginAndEndScene) {
    load("createcolor 0 0 255 blue\nsetlayer blue 0\nwait 100000\n");
    EXPECT_FALSE(frameAt(0.0f));
    const std::vector<std::string>& calls = device->calls();
    ASSERT_FALSE(calls.empty());
    EXPECT_EQ(calls.front(), "BeginScene");
    EXPECT_EQ(calls.back(), "EndScene");
    EXPECT_EQ(device->drawCount(), 1u);
}

TEST_F(Timeline, SetTimeMidScriptRestartsScriptAndSceneClocks) {
    load("waituntil 10000\nsettime 0\nwaituntil 500\nsetvolume 1\nwaituntil 1000000\n");
    EXPECT_FALSE(frameAt(10001.0f));
    ScriptClocks clocks = scripter->clocks();
    EXPECT_EQ(clocks.scriptOrigin, 10001.0f);
    EXPECT_EQ(clocks.sceneOrigin, 10001.0f);
    EXPECT_EQ(clocks.flashOrigin, 10001.0f);
    EXPECT_EQ(scripter->nextCommand(), 2u);
    EXPECT_FALSE(frameAt(10501.0f));  // script time 500: not yet
    EXPECT_EQ(scripter->nextCommand(), 2u);
    EXPECT_FALSE(frameAt(10501.5f));
    EXPECT_EQ(scripter->nextCommand(), 4u);
}

TEST_F(Timeline, SetSceneTimeAndSetFlashTimeMoveOnlyTheirOwnClock) {
    load("settime 100\nsetscenetime 0\nsetflashtime 250\nwait 100000\n");
    EXPECT_FALSE(frameAt(3000.0f));
    const ScriptClocks& clocks = scripter->clocks();
    EXPECT_EQ(clocks.scriptOrigin, 2900.0f);
    EXPECT_EQ(clocks.sceneOrigin, 3000.0f);
    EXPECT_EQ(clocks.flashOrigin, 2750.0f);
}

TEST_F(Timeline, PlaySceneLeavesTheSceneClockAlone) {
    const std::string scene = contentFile("city.psk", "");
    load("waituntil 30000\nloadscene " + scene + " City\nplayscene city\nwait 100000\n");
    EXPECT_FALSE(frameAt(30001.0f));
    ASSERT_NE(scripter->currentScene(), nullptr);
    EXPECT_EQ(scripter->currentScene(), scripter->findScene("city"));
    // Scene time = clock − origin = 30001: the scene is animated from there, not from 0.
    EXPECT_EQ(scripter->clocks().sceneOrigin, 0.0f);
}

TEST_F(Timeline, FreeingTheCurrentSceneStopsItAndAnotherCanBePlayed) {
    const std::string scene = contentFile("a.psk", "");
    load("loadscene " + scene + " a\nloadscene " + scene + " b\nplayscene a\nfreescene a\nwait 10\n"
         "playscene b\nstopscene\nwait 100000\n");
    EXPECT_FALSE(frameAt(0.0f));
    EXPECT_EQ(scripter->currentScene(), nullptr);
    EXPECT_EQ(scripter->findScene("a"), nullptr);
    EXPECT_FALSE(frameAt(20.0f));
    EXPECT_EQ(scripter->currentScene(), nullptr);
    ASSERT_NE(scripter->findScene("b"), nullptr);
}

TEST_F(Timeline, ReloadingASceneSlotUnplaysTheOldScene) {
    const std::string scene = contentFile("a.psk", "");
    load("loadscene " + scene + " a\nplayscene a\nloadscene " + scene + " A\nwait 100000\n");
    EXPECT_FALSE(frameAt(0.0f));
    EXPECT_EQ(scripter->currentScene(), nullptr);
    EXPECT_NE(scripter->findScene("a"), nullptr);
}

TEST_F(Timeline, FlashSlotsKeepTheirSettingsAndCurrentPointer) {
    // An uncompressed movie: empty frame rectangle, 25 fps, 42 frames.
    const std::string movie = contentFile("Intro.swf", std::string("FWS\x0a\x0d\0\0\0\0\0\x19\x2a\0", 13));
    load("loadflash " + movie + " Movie\nplayflash movie 2 1\nwait 10\nstopflash\nplayflash MOVIE\n"
         "wait 10\nfreeflash movie\nwait 100000\n");
    EXPECT_FALSE(frameAt(0.0f));
    FlashPlayer* player = scripter->findFlash("movie");
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(scripter->currentFlash(), player);
    EXPECT_EQ(player->control().movie(), movie);
    EXPECT_EQ(player->totalFrames(), 42);
    EXPECT_EQ(player->control().quality(), 2);
    EXPECT_EQ(player->backgroundMode(), 1);
    EXPECT_EQ(player->width(), 800u);
    EXPECT_FALSE(frameAt(20.0f));
    EXPECT_EQ(scripter->currentFlash(), player);
    EXPECT_EQ(player->control().quality(), 0);
    EXPECT_EQ(player->backgroundMode(), 0);
    EXPECT_FALSE(frameAt(40.0f));
    EXPECT_EQ(scripter->currentFlash(), nullptr);
    EXPECT_EQ(scripter->findFlash("movie"), nullptr);
}

TEST_F(Timeline, ReplayingTheCurrentMusicRestartsItFromTheNewPosition) {
    const std::string theme = contentFile("theme.ogg");
    load("loadmusic " + theme + " theme\nplaymusic theme 30000\nwait 10\nplaymusic THEME 0\nwait 100000\n");
    EXPECT_FALSE(frameAt(0.0f));
    MusicStream* stream = scripter->findMusic("theme");
    ASSERT_NE(stream, nullptr);
    EXPECT_TRUE(stream->playing());
    sound.clearCalls();
    EXPECT_FALSE(frameAt(20.0f));
    EXPECT_EQ(scripter->currentMusic(), stream);
    EXPECT_TRUE(stream->playing());
    EXPECT_EQ(sound.calls(), (std::vector<std::string>{"StopSound 1", "Stream_SetTime stream1 0",
                                                        "Stream_PlayEx -1 stream1 paused", "SetPaused 2 0"}));
}

TEST_F(Timeline, PlayingOtherMusicStopsTheCurrentAndVolumeGoesToTheNewOne) {
    const std::string a = contentFile("a.ogg");
    const std::string b = contentFile("b.ogg");
    load("setvolume 50\nloadmusic " + a + " a\nloadmusic " + b + " b\nplaymusic a 0\nplaymusic b 1000\n"
         "setvolume 128\nwait 100000\n");
    sound.clearCalls();
    EXPECT_FALSE(frameAt(0.0f));
    EXPECT_FALSE(scripter->findMusic("a")->playing());
    EXPECT_EQ(scripter->currentMusic(), scripter->findMusic("b"));
    EXPECT_EQ(soundCalls("StopSound 1"), 1u);
    EXPECT_EQ(soundCalls("Stream_SetTime stream2 1000"), 1u);
    // Only the volume set while music is current reaches the library.
    EXPECT_EQ(soundCalls("SetVolume"), 1u);
    EXPECT_EQ(soundCalls("SetVolume 2 128"), 1u);
}

TEST_F(Timeline, StopMusicStopsAndForgetsTheCurrentStream) {
    const std::string a = contentFile("a.ogg");
    load("loadmusic " + a + " a\nplaymusic a 0\nstopmusic\nsetvolume 10\nstopmusic\nwait 100000\n");
    EXPECT_FALSE(frameAt(0.0f));
    EXPECT_EQ(scripter->currentMusic(), nullptr);
    EXPECT_FALSE(scripter->findMusic("a")->playing());
    EXPECT_EQ(soundCalls("StopSound"), 1u);
    EXPECT_EQ(soundCalls("SetVolume"), 0u);
}

TEST_F(Timeline, ReloadingOrFreeingTheCurrentMusicStopsItBeforeClosing) {
    const std::string a = contentFile("a.ogg");
    const std::string b = contentFile("b.ogg");
    load("loadmusic " + a + " x\nplaymusic x 0\nloadmusic " + b + " x\nwait 10\nplaymusic x 0\nfreemusic x\n"
         "freemusic x\nwait 100000\n");
    sound.clearCalls();
    EXPECT_FALSE(frameAt(0.0f));
    EXPECT_EQ(scripter->currentMusic(), nullptr);
    const std::vector<std::string> expected = {"Stream_OpenFile " + a + " 0x20130 0",
                                               "Stream_SetTime stream1 0",
                                               "Stream_PlayEx -1 stream1 paused",
                                               "SetPaused 1 0",
                                               "StopSound 1",
                                               "Stream_Close stream1",
                                               "Stream_OpenFile " + b + " 0x20130 0"};
    EXPECT_EQ(sound.calls(), expected);
    sound.clearCalls();
    EXPECT_FALSE(frameAt(20.0f));
    EXPECT_EQ(scripter->findMusic("x"), nullptr);
    EXPECT_EQ(soundCalls("StopSound 2"), 1u);
    EXPECT_EQ(soundCalls("Stream_Close stream2"), 1u);
}

TEST_F(Timeline, DestructionClosesEveryStreamBeforeTheLibrary) {
    const std::string a = contentFile("a.ogg");
    load("loadmusic " + a + " a\nloadmusic " + a + " b\nplaymusic b 0\nwait 100000\n");
    EXPECT_FALSE(frameAt(0.0f));
    sound.clearCalls();
    scripter.reset();
    EXPECT_EQ(sound.calls(), (std::vector<std::string>{"Stream_Close stream1", "Stream_Close stream2", "Close"}));
}

TEST_F(Timeline, ConstructionStartsTheSoundLibrary) {
    EXPECT_TRUE(sound.initialised());
    EXPECT_EQ(soundCalls("Init 44100 32 0"), 1u);
}

using TimelineDeath = ScripterTest;

TEST_F(TimelineDeath, PlaySceneOnAnEmptySlotEndsTheProgram) {
    load("loadscene " + contentFile("a.psk", "") + " intro\nplayscene Outro\n");
    EXPECT_EXIT(WITH_REAL_SHELL(frameAt(0.0f)), ::testing::ExitedWithCode(0),
                "PlayScene error: .*scene slot 'outro' is empty.*PlayScene failed");
}

TEST_F(TimelineDeath, PlayFlashOnAnEmptySlotEndsTheProgram) {
    load("loadflash " + contentFile("a.swf") + " movie\nfreeflash movie\nplayflash movie 1 1\n");
    EXPECT_EXIT(WITH_REAL_SHELL(frameAt(0.0f)), ::testing::ExitedWithCode(0),
                "PlayFlash error: .*Flash slot 'movie' is empty.*PlayFlash failed");
}

TEST_F(TimelineDeath, PlayMusicOnAnEmptySlotEndsTheProgram) {
    load("waituntil 5\nplaymusic theme 0\n");
    EXPECT_FALSE(frameAt(0.0f));
    EXPECT_EXIT(WITH_REAL_SHELL(frameAt(10.0f)), ::testing::ExitedWithCode(0),
                "PlayMusic error: .*music slot 'theme' is empty.*PlayMusic failed");
}

TEST_F(TimelineDeath, MissingSceneFileEndsTheProgramWhenItsLoadRuns) {
    load("loadscene " + (folder / "absent.psk").string() + " s\n");
    EXPECT_EXIT(WITH_REAL_SHELL(frameAt(0.0f)), ::testing::ExitedWithCode(0), "Error: .*absent\\.psk");
}

TEST_F(Timeline, EmptySlotFailureShowsOneOkBox) {
    load("playmusic Theme 0\n");
    try {
        frameAt(0.0f);
        FAIL() << "the process did not end";
    } catch (const ProcessExit& exit) {
        EXPECT_EQ(exit.code, 0);
    }
    ASSERT_EQ(fakeShell.boxes.size(), 1u);
    EXPECT_EQ(fakeShell.boxes[0].caption, "PlayMusic error");
    EXPECT_EQ(fakeShell.boxes[0].text, "The music slot 'theme' is empty: PlayMusic failed!");
    EXPECT_EQ(fakeShell.boxes[0].style, MB_OK);
}
