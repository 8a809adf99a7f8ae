// The sound library's number conversions: the version float and the volume scale.
#include "platform/sound/mixer_volume.h"
#include "platform/sound/sound_version.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

std::string printed(float version)
{
    char text[16];
    std::snprintf(text, sizeof text, "%.02f", static_cast<double>(version));
    return text;
}

} // namespace

TEST(SoundVersionTest, MajorDotMinorInTwoDecimalsOrdersLikeTheReleases)
{
    EXPECT_EQ(printed(soundVersionNumber(2, 6)), "2.06");
    EXPECT_EQ(printed(soundVersionNumber(3, 63)), "3.63");
    EXPECT_LT(soundVersionNumber(2, 6), soundVersionNumber(2, 7));
    EXPECT_LT(soundVersionNumber(2, 9), soundVersionNumber(2, 10));
    EXPECT_LT(soundVersionNumber(2, 99), soundVersionNumber(3, 0));
    EXPECT_FALSE(soundVersionNumber(2, 6) < soundVersionNumber(2, 6)) << "the same release passes the check";
}

TEST(SoundVersionTest, AMinorNumberBeyondTwoDigitsStaysBelowTheNextMajor)
{
    EXPECT_LT(soundVersionNumber(2, 150), soundVersionNumber(3, 0));
    EXPECT_EQ(soundVersionNumber(2, 150), soundVersionNumber(2, 99));
}

TEST(MixerVolumeTest, TheEndsMeetAndEveryStepIsAtMostOne)
{
    EXPECT_EQ(mixerVolume(0), 0);
    EXPECT_EQ(mixerVolume(255), 128);
    EXPECT_EQ(mixerVolume(128), 64);
    EXPECT_EQ(mixerVolume(64), 32);
    EXPECT_EQ(mixerVolume(1), 1) << "any volume above 0 is heard";
    for (int volume = 1; volume <= 255; ++volume) {
        const int step = mixerVolume(volume) - mixerVolume(volume - 1);
        EXPECT_TRUE(step == 0 || step == 1) << "at " << volume;
    }
}

TEST(MixerVolumeTest, ValuesOutsideTheScaleCountAsItsEnds)
{
    EXPECT_EQ(mixerVolume(-20), 0);
    EXPECT_EQ(mixerVolume(256), 128);
    EXPECT_EQ(mixerVolume(100000), 128);
}
