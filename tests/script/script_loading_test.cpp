// Loading scripts into a Scripter: every keyword makes its command with its arguments read
// the right way, and every line the language does not know ends the program with the
// "Error loading script" box and exit code 0.
#include "script/commands/clear_layers.h"
#include "script/commands/create_color.h"
#include "script/commands/free_flash.h"
#include "script/commands/free_image.h"
#include "script/commands/free_music.h"
#include "script/commands/free_scene.h"
#include "script/commands/load_flash.h"
#include "script/commands/load_image.h"
#include "script/commands/load_music.h"
#include "script/commands/load_scene.h"
#include "script/commands/play_flash.h"
#include "script/commands/play_music.h"
#include "script/commands/play_scene.h"
#include "script/commands/remove_layer.h"
#include "script/commands/set_active_camera.h"
#include "script/commands/set_flash_time.h"
#include "script/commands/set_layer.h"
#include "script/commands/set_layer_additive.h"
#include "script/commands/set_layer_alpha.h"
#include "script/commands/set_layer_alpha_delta.h"
#include "script/commands/set_layer_pos.h"
#include "script/commands/set_layer_pos_delta.h"
#include "script/commands/set_scene_time.h"
#include "script/commands/set_time.h"
#include "script/commands/set_volume.h"
#include "script/commands/stop_flash.h"
#include "script/commands/stop_music.h"
#include "script/commands/stop_scene.h"
#include "script/commands/wait.h"
#include "script/commands/wait_until.h"
#include "scripter_fixture.h"

#include <limits>

namespace {

template <typename Command>
const Command& commandAs(const Scripter& scripter, std::size_t index) {
    const auto* command = dynamic_cast<const Command*>(scripter.command(index));
    if (!command) throw std::runtime_error("command " + std::to_string(index) + " has another class");
    return *command;
}

}  // namespace

using ScriptLoading = ScripterTest;

TEST_F(ScriptLoading, ContentAndSlotCommandsKeepFileCaseAndLowerCaseSlots) {
    load("LoadFlash Intro.SWF Movie\n"
         "loadscene Scenes/City.psk CITY\n"
         "loadmusic Theme.OGG Theme\n"
         "loadimage Logo.PNG Title\n"
         "playscene City\n"
         "setactivecamera Camera01\n"
         "playflash MOVIE 3 1\n"
         "playflash movie\n"
         "playmusic THEME 30000\n"
         "setvolume 128\n"
         "freeflash Movie\nfreescene CITY\nfreemusic Theme\nfreeimage TITLE\n"
         "stopflash\nstopscene\nstopmusic\n");
    ASSERT_EQ(scripter->commandCount(), 17u);
    EXPECT_EQ(commandAs<LoadFlash>(*scripter, 0).file, "Intro.SWF");
    EXPECT_EQ(commandAs<LoadFlash>(*scripter, 0).slot, "movie");
    EXPECT_EQ(commandAs<LoadScene>(*scripter, 1).file, "Scenes/City.psk");
    EXPECT_EQ(commandAs<LoadScene>(*scripter, 1).slot, "city");
    EXPECT_EQ(commandAs<LoadMusic>(*scripter, 2).file, "Theme.OGG");
    EXPECT_EQ(commandAs<LoadImage>(*scripter, 3).file, "Logo.PNG");
    EXPECT_EQ(commandAs<LoadImage>(*scripter, 3).slot, "title");
    EXPECT_EQ(commandAs<PlayScene>(*scripter, 4).slot, "city");
    EXPECT_EQ(commandAs<SetActiveCamera>(*scripter, 5).name, "Camera01");
    EXPECT_EQ(commandAs<PlayFlash>(*scripter, 6).slot, "movie");
    EXPECT_EQ(commandAs<PlayFlash>(*scripter, 6).quality, 3);
    EXPECT_EQ(commandAs<PlayFlash>(*scripter, 6).backgroundMode, 1);
    EXPECT_EQ(commandAs<PlayFlash>(*scripter, 7).quality, 0);
    EXPECT_EQ(commandAs<PlayFlash>(*scripter, 7).backgroundMode, 0);
    EXPECT_EQ(commandAs<PlayMusic>(*scripter, 8).slot, "theme");
    EXPECT_EQ(commandAs<PlayMusic>(*scripter, 8).startMs, 30000);
    EXPECT_EQ(commandAs<SetVolume>(*scripter, 9).volume, 128);
    EXPECT_EQ(commandAs<FreeFlash>(*scripter, 10).slot, "movie");
    EXPECT_EQ(commandAs<FreeScene>(*scripter, 11).slot, "city");
    EXPECT_EQ(commandAs<FreeMusic>(*scripter, 12).slot, "theme");
    EXPECT_EQ(commandAs<FreeImage>(*scripter, 13).slot, "title");
    EXPECT_NO_THROW(commandAs<StopFlash>(*scripter, 14));
    EXPECT_NO_THROW(commandAs<StopScene>(*scripter, 15));
    EXPECT_NO_THROW(commandAs<StopMusic>(*scripter, 16));
}

TEST_F(ScriptLoading, TimeArgumentsAreWholeMillisecondsShiftedByTheIncludeOffset) {
    files.files["part2.psc"] = "waituntil 1000\nwait 250\nsettime 5\nsetscenetime 6\nsetflashtime 7\n"
                               "include part3.psc 500\n";
    files.files["part3.psc"] = "waituntil 1000\n";
    load("settime 1500.9\nwaituntil 2000\ninclude part2.psc 60000\nwait 0\n");
    ASSERT_EQ(scripter->commandCount(), 9u);
    EXPECT_EQ(commandAs<SetTime>(*scripter, 0).time, 1500.0f);
    EXPECT_EQ(commandAs<WaitUntil>(*scripter, 1).time, 2000.0f);
    EXPECT_EQ(commandAs<WaitUntil>(*scripter, 2).time, 61000.0f);
    // A wait is a duration, yet it is shifted all the same.
    EXPECT_EQ(commandAs<Wait>(*scripter, 3).duration, 60250.0f);
    EXPECT_EQ(commandAs<SetTime>(*scripter, 4).time, 60005.0f);
    EXPECT_EQ(commandAs<SetSceneTime>(*scripter, 5).time, 60006.0f);
    EXPECT_EQ(commandAs<SetFlashTime>(*scripter, 6).time, 60007.0f);
    EXPECT_EQ(commandAs<WaitUntil>(*scripter, 7).time, 1500.0f);
    EXPECT_EQ(commandAs<Wait>(*scripter, 8).duration, 0.0f);
}

TEST_F(ScriptLoading, LayerCommandsReadIntegersAndNumbers) {
    load("setlayer Title -2147483648\nremovelayer 7\nclearlayers\n"
         "setlayerpos 3 10.5 -20.25\nsetlayeralpha 1 0.5\n"
         "setlayerposdelta 2 100 -0.5\nsetlayeralphadelta 2 -0.5\n"
         "setlayeradditive 4 -3\nsetlayeradditive 4 0\nsetlayeradditive 4 0.9\n");
    ASSERT_EQ(scripter->commandCount(), 10u);
    EXPECT_EQ(commandAs<SetLayer>(*scripter, 0).slot, "title");
    EXPECT_EQ(commandAs<SetLayer>(*scripter, 0).layer, std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(commandAs<RemoveLayer>(*scripter, 1).layer, 7);
    EXPECT_NO_THROW(commandAs<ClearLayers>(*scripter, 2));
    EXPECT_EQ(commandAs<SetLayerPos>(*scripter, 3).x, 10.5f);
    EXPECT_EQ(commandAs<SetLayerPos>(*scripter, 3).y, -20.25f);
    EXPECT_EQ(commandAs<SetLayerAlpha>(*scripter, 4).alpha, 0.5f);
    EXPECT_EQ(commandAs<SetLayerPosDelta>(*scripter, 5).xPerSecond, 100.0f);
    EXPECT_EQ(commandAs<SetLayerPosDelta>(*scripter, 5).yPerSecond, -0.5f);
    EXPECT_EQ(commandAs<SetLayerAlphaDelta>(*scripter, 6).alphaPerSecond, -0.5f);
    EXPECT_TRUE(commandAs<SetLayerAdditive>(*scripter, 7).additive);
    EXPECT_FALSE(commandAs<SetLayerAdditive>(*scripter, 8).additive);
    // The flag is an integer: 0.9 reads as 0.
    EXPECT_FALSE(commandAs<SetLayerAdditive>(*scripter, 9).additive);
}

TEST_F(ScriptLoading, CreateColorKeepsComponentsOver255AndClampsWhenDrawn) {
    load("createcolor 255 128 0 Orange\ncreatecolor -1 256 300 white\ncreatecolor 1\n");
    const CreateColor& orange = commandAs<CreateColor>(*scripter, 0);
    EXPECT_EQ(orange.slot, "orange");
    EXPECT_FLOAT_EQ(orange.red, 1.0f);
    EXPECT_FLOAT_EQ(orange.green, 128.0f / 255.0f);
    EXPECT_EQ(orange.blue, 0.0f);
    EXPECT_EQ(orange.argb(), 0xFFFF8000u);
    // -1 is 4294967295 unsigned: far above 1.0, so full intensity.
    const CreateColor& white = commandAs<CreateColor>(*scripter, 1);
    EXPECT_GT(white.red, 1.0e7f);
    EXPECT_EQ(white.argb(), 0xFFFFFFFFu);
    const CreateColor& missing = commandAs<CreateColor>(*scripter, 2);
    EXPECT_EQ(missing.slot, "");
    EXPECT_EQ(missing.argb(), 0xFF010000u);
}

TEST_F(ScriptLoading, KeywordCaseAndBlanksDoNotMatter) {
    load("WaitUntil 5\n\tWAITUNTIL\t \t5 \t\n  waituntil    5\t\r\n");
    ASSERT_EQ(scripter->commandCount(), 3u);
    for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(commandAs<WaitUntil>(*scripter, i).time, 5.0f);
}

TEST_F(ScriptLoading, EveryFileEndResetsTheRunStateAndMissingScriptsAddNothing) {
    scripter->loadScript("absent.psc", 0.0f);
    EXPECT_EQ(scripter->commandCount(), 0u);
    EXPECT_TRUE(scripter->update());
}

using ScriptLoadingDeath = ScripterTest;

TEST_F(ScriptLoadingDeath, UnknownKeywordEndsWithTheScriptErrorBox) {
    files.files["demo.psc"] = "wait 1\n\n\n  Wiat 100 x \r\n";
    EXPECT_EXIT(WITH_REAL_SHELL(scripter->loadScript("demo.psc", 0.0f)), ::testing::ExitedWithCode(0),
                literally("Error loading script: Invalid command 'Wiat 100 x' in script demo.psc, line 2!"));
}

TEST_F(ScriptLoadingDeath, TabThenHashIsAnInvalidCommand) {
    files.files["notes.psc"] = "# a real comment\n   # another\n\t# note\n";
    EXPECT_EXIT(WITH_REAL_SHELL(scripter->loadScript("notes.psc", 0.0f)), ::testing::ExitedWithCode(0),
                literally("Error loading script: Invalid command '\t# note' in script notes.psc, line 3!"));
}

TEST_F(ScriptLoadingDeath, LineOfTabsOnlyIsAnInvalidCommand) {
    files.files["demo.psc"] = "wait 1\n\t\t\n";
    EXPECT_EXIT(WITH_REAL_SHELL(scripter->loadScript("demo.psc", 0.0f)), ::testing::ExitedWithCode(0),
                literally("Error loading script: Invalid command '\t\t' in script demo.psc, line 2!"));
}

TEST_F(ScriptLoadingDeath, IncludeKeywordIsMatchedAfterLowerCasingToo) {
    files.files["demo.psc"] = "INCLUDE demo.psc 100\n";
    EXPECT_EXIT(WITH_REAL_SHELL(scripter->loadScript("demo.psc", 0.0f)), ::testing::ExitedWithCode(0),
                literally("Error loading script: Invalid command 'INCLUDE demo.psc 100' in script demo.psc, line 1!"));
}

TEST_F(ScriptLoadingDeath, ErrorInIncludedFileNamesThatFileAndItsLine) {
    files.files["demo.psc"] = "wait 1\ninclude Part2.psc 1000\n";
    files.files["Part2.psc"] = "\n\nwaituntil 1\nsetlayer x 1\nplaysound boom\n";
    EXPECT_EXIT(WITH_REAL_SHELL(scripter->loadScript("demo.psc", 0.0f)), ::testing::ExitedWithCode(0),
                literally("Error loading script: Invalid command 'playsound boom' in script Part2.psc, line 3!"));
}

TEST_F(ScriptLoadingDeath, VeryLongBadLineIsReportedWhole) {
    const std::string longLine = "x" + std::string(10000, 'y');
    files.files["demo.psc"] = longLine + "\n";
    EXPECT_EXIT(WITH_REAL_SHELL(scripter->loadScript("demo.psc", 0.0f)), ::testing::ExitedWithCode(0),
                "Invalid command '" + longLine + "' in script demo.psc, line 1!");
}

TEST_F(ScriptLoading, InvalidLineShowsOneOkBoxWithExitCodeZero) {
    files.files["demo.psc"] = "bogus\n";
    try {
        scripter->loadScript("demo.psc", 0.0f);
        FAIL() << "the process did not end";
    } catch (const ProcessExit& exit) {
        EXPECT_EQ(exit.code, 0);
    }
    ASSERT_EQ(fakeShell.boxes.size(), 1u);
    EXPECT_EQ(fakeShell.boxes[0].caption, "Error loading script");
    EXPECT_EQ(fakeShell.boxes[0].text, "Invalid command 'bogus' in script demo.psc, line 1!");
    EXPECT_EQ(fakeShell.boxes[0].style, MB_OK);
}
