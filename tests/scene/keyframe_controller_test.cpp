// Keyframe tracks: holds, blends, looping, and the open cases (no keys, one shared key time,
// keys out of order, times that are not numbers), and the message when no key follows.
#include "probe.h"
#include "scene_fixture.h"

#include "scene/keyframe_float_controller.h"

#include <limits>

namespace {

// Keys 0.1 and 1.3 looping: at this time the single-precision wrap lands just past the last
// key, so no key follows it.
constexpr float kWrapFirst = 0x1.99999ap-4f;
constexpr float kWrapLast = 0x1.4cccdp+0f;
constexpr float kWrapTime = 0x1.20cccep+5f;

struct KeyCase {
    float time;
    bool looping;
    float expected;
};

TEST(KeyframeFloatController, BlendsBetweenKeysHoldsOutsideAndLoops)
{
    const KeyCase cases[] = {
        {5, false, 0.5f},  {-1, false, 0.0f}, {0, false, 0.0f},  {10, false, 1.0f},
        {20, false, 1.0f}, {25, true, 0.5f},  {10, true, 0.0f},  {-1, true, 0.0f},
        {32.5f, true, 0.25f},
    };
    for (const KeyCase& c : cases) {
        Probe probe;
        KeyframeFloatController track(&probe, "X", c.looping);
        track.addKey(0, 0);
        track.addKey(10, 1);
        track.evaluate(c.time);
        EXPECT_FLOAT_EQ(probe.fields["X"], c.expected) << "t " << c.time << (c.looping ? " looping" : "");
        EXPECT_EQ(probe.refreshes, std::vector<bool>{false});
    }
}

TEST(KeyframeFloatController, AddKeyWidensTheKeyRangeOnly)
{
    Probe probe;
    KeyframeFloatController track(&probe, "X", false);
    EXPECT_EQ(track.firstKeyTime(), 1.0e10f);
    EXPECT_EQ(track.lastKeyTime(), -1.0e10f);
    track.addKey(5, 0);
    track.addKey(2, 0);
    track.addKey(3, 0);
    EXPECT_EQ(track.firstKeyTime(), 2.0f);
    EXPECT_EQ(track.lastKeyTime(), 5.0f);
    EXPECT_EQ(track.keys().size(), 3u);
}

TEST(KeyframeFloatController, OpenCasesNeverReadOutsideTheKeys)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    {
        // No keys: nothing is written or refreshed.
        Probe probe;
        probe.fields["X"] = 7;
        KeyframeFloatController track(&probe, "X", true);
        for (float t : {-1.0f, 0.0f, 5.0f}) track.evaluate(t);
        EXPECT_EQ(probe.fields["X"], 7.0f);
        EXPECT_TRUE(probe.refreshes.empty());
    }
    {
        // Looping with first and last key at one time: held at the last key.
        Probe probe;
        KeyframeFloatController track(&probe, "X", true);
        track.addKey(5, 2);
        track.addKey(5, 3);
        track.evaluate(5);
        EXPECT_EQ(probe.fields["X"], 2.0f);
        track.evaluate(9);
        EXPECT_EQ(probe.fields["X"], 3.0f);
    }
    {
        // Out of order: a time before every later key holds the first key; after that the
        // blend runs from the key just before the first later one.
        Probe probe;
        KeyframeFloatController track(&probe, "X", false);
        track.addKey(10, 1);
        track.addKey(0, 0);
        track.addKey(20, 2);
        track.evaluate(5);
        EXPECT_EQ(probe.fields["X"], 1.0f);
        track.evaluate(15);
        EXPECT_FLOAT_EQ(probe.fields["X"], 1.5f);
    }
    {
        // A time that is not a number writes nothing; infinity holds the last key.
        Probe probe;
        probe.fields["X"] = 7;
        KeyframeFloatController track(&probe, "X", true);
        track.addKey(0, 0);
        track.addKey(10, 1);
        track.evaluate(nan);
        EXPECT_EQ(probe.fields["X"], 7.0f);
        track.evaluate(std::numeric_limits<float>::infinity());
        EXPECT_EQ(probe.fields["X"], 1.0f);
    }
    {
        // An unknown field is never written.
        Probe probe;
        KeyframeFloatController track(&probe, "Nope", false);
        EXPECT_FALSE(track.bound());
        track.addKey(0, 1);
        track.evaluate(0);
        EXPECT_TRUE(probe.refreshes.empty());
    }
}

TEST(KeyframeFloatController, AWrapThatRoundsOntoTheLastKeyEndsWithTheMessage)
{
    Probe probe;
    KeyframeFloatController track(&probe, "X", true);
    track.addKey(kWrapFirst, 0);
    track.addKey(kWrapLast, 1);
    EXPECT_EXIT(WITH_REAL_SHELL(track.evaluate(kWrapTime)), ::testing::ExitedWithCode(0), "Error: Mit\xE4hittoo");
}

} // namespace
