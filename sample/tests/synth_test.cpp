// The synthesizer's mix buffer: placement, panning, cut-off and the 16-bit conversion.
#include "song.h"
#include "synth.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

float energy(const StereoMix& mix, bool right, std::size_t from, std::size_t to)
{
    float sum = 0.0f;
    for (std::size_t i = from; i < std::min(to, mix.frames()); ++i) sum += std::fabs(right ? mix.right(i) : mix.left(i));
    return sum;
}

TEST(MidiToHz, FollowsEqualTemperament)
{
    EXPECT_DOUBLE_EQ(midiToHz(69), 440.0);
    EXPECT_NEAR(midiToHz(81), 880.0, 1e-9);
    EXPECT_NEAR(midiToHz(60), 261.6256, 1e-3);
}

TEST(StereoMix, RefusesLengthsAndRatesOutOfRange)
{
    EXPECT_THROW(StereoMix(0.0, 44100), std::invalid_argument);
    EXPECT_THROW(StereoMix(-1.0, 44100), std::invalid_argument);
    EXPECT_THROW(StereoMix(1.0, 100), std::invalid_argument);
}

TEST(StereoMix, ANoteSoundsFromItsStartOnly)
{
    StereoMix mix(1.0, 8000);
    mix.play(Instrument::Lead, {0.5, 0.1, 69, 1.0f, 0.0f});
    EXPECT_EQ(energy(mix, false, 0, 4000), 0.0f);
    EXPECT_GT(energy(mix, false, 4000, 4400), 0.0f);
}

TEST(StereoMix, HardPanningLeavesTheOtherSideSilent)
{
    for (float pan : {-1.0f, 1.0f}) {
        StereoMix mix(0.5, 8000);
        mix.play(Instrument::Snare, {0.0, 0.0, 38, 1.0f, pan});
        const bool loud = pan > 0;
        EXPECT_GT(energy(mix, loud, 0, 4000), 1.0f) << pan;
        EXPECT_LT(energy(mix, !loud, 0, 4000), 1e-3f) << pan;
    }
}

TEST(StereoMix, NotesPastTheEndOrBeforeTheStartAreIgnoredOrCut)
{
    StereoMix mix(0.25, 8000);
    mix.play(Instrument::Pad, {5.0, 1.0, 60, 1.0f, 0.0f});
    mix.play(Instrument::Pad, {-1.0, 1.0, 60, 1.0f, 0.0f});
    EXPECT_EQ(energy(mix, false, 0, mix.frames()), 0.0f);
    // A long note near the end writes up to the last frame and no further.
    mix.play(Instrument::Bass, {0.2, 5.0, 40, 1.0f, 0.0f});
    EXPECT_GT(energy(mix, false, 1600, mix.frames()), 0.0f);
    EXPECT_EQ(mix.frames(), 2000u);
}

TEST(StereoMix, Pcm16IsNormalisedToThePeakAndSilenceStaysSilent)
{
    StereoMix silent(0.1, 8000);
    for (std::int16_t s : silent.toPcm16()) ASSERT_EQ(s, 0);

    StereoMix mix(0.5, 8000);
    mix.play(Instrument::Kick, {0.0, 0.0, 36, 0.01f, 0.0f});
    const std::vector<std::int16_t> pcm = mix.toPcm16(0.5f);
    ASSERT_EQ(pcm.size(), mix.frames() * 2);
    int loudest = 0;
    for (std::int16_t s : pcm) loudest = std::max(loudest, std::abs(static_cast<int>(s)));
    EXPECT_NEAR(loudest, 16384, 1);
}

} // namespace
