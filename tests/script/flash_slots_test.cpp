// The Flash commands on real players: replacing a slot destroys the old player (un-playing
// it first), PlayFlash hands quality then background mode to the control, and a movie that
// cannot be found ends the run.
#include "content2d/flash_player.h"
#include "scripter_fixture.h"

namespace {

// An uncompressed movie with an empty frame rectangle and the given frame count.
std::string movieBytes(unsigned char frames) {
    return std::string("FWS\x0a\x0d\0\0\0\0\0\x19", 11) + static_cast<char>(frames) + std::string(1, '\0');
}

using FlashSlots = ScripterTest;

TEST_F(FlashSlots, LoadingIntoAnOccupiedSlotUnplaysAndDestroysTheOldPlayer) {
    const std::string first = contentFile("first.swf", movieBytes(11));
    const std::string second = contentFile("second.swf", movieBytes(22));
    load("loadflash " + first + " m\nplayflash m 1 0\nwait 10\nloadflash " + second + " m\nwait 10\n");
    EXPECT_FALSE(frameAt(0.0f));
    ASSERT_NE(scripter->currentFlash(), nullptr);
    const std::size_t onePlayer = device->memoryInUse();
    EXPECT_FALSE(frameAt(20.0f));
    EXPECT_EQ(scripter->currentFlash(), nullptr);
    FlashPlayer* player = scripter->findFlash("m");
    ASSERT_NE(player, nullptr);
    EXPECT_EQ(player->totalFrames(), 22);
    EXPECT_EQ(device->memoryInUse(), onePlayer) << "the first player's texture was released";
}

TEST_F(FlashSlots, PlayFlashSetsQualityThenBackgroundModeOnTheControl) {
    const std::string movie = contentFile("m.swf", movieBytes(3));
    load("loadflash " + movie + " a\nloadflash " + movie + " b\nplayflash a 4 1\nplayflash b 5 2\nwait 10\n");
    EXPECT_FALSE(frameAt(0.0f));
    const std::vector<std::string>& a = scripter->findFlash("a")->control().calls();
    ASSERT_GE(a.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(a.end() - 2, a.end()), (std::vector<std::string>{"Quality 4", "BackgroundColor 0"}));
    const FlashPlayer* b = scripter->findFlash("b");
    EXPECT_EQ(b->control().calls().back(), "Quality 5");
    EXPECT_EQ(b->backgroundMode(), 2);
    EXPECT_EQ(scripter->currentFlash(), b);
}

using FlashSlotsDeath = ScripterTest;

TEST_F(FlashSlotsDeath, MissingMovieEndsTheRunWhenItsLoadRuns) {
    load("loadflash " + (folder / "absent.swf").string() + " m\n");
    EXPECT_EXIT(WITH_REAL_SHELL(frameAt(0.0f)), ::testing::ExitedWithCode(0), "Error: Couldn't load 2d content!");
}

} // namespace
