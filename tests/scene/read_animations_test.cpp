// Keyframe tracks read from property text: fields, looping, keys with the time base applied,
// and counts that are negative, too large or larger than what is written.
#include "probe.h"
#include "scene_fixture.h"

#include "scene/keyframe_float_controller.h"

namespace {

class ReadAnimationsTest : public SceneTest {
protected:
    Probe probe;

    // Reads the tracks of `text` into the scene; `created` says how many it appended.
    void read(const std::string& text, float offset = 0.0f, float scale = 1.0f)
    {
        Configuration properties;
        properties.parse(text);
        const std::size_t before = scene->controllerCount();
        probe.readAnimations(*scene, properties, offset, scale);
        created = scene->controllerCount() - before;
    }
    std::size_t created = 0;
};

TEST_F(ReadAnimationsTest, TheExampleTrackLoopsOverItsTwoKeys)
{
    read("animations=1\na0.field=Intensity\na0.looping=1\na0.keyframes=2\na0.kf0=0 0.5\na0.kf1=1000 2\n");
    ASSERT_EQ(created, 1u);
    scene->setLoaded(true);
    scene->animate(500);
    EXPECT_FLOAT_EQ(probe.fields["Intensity"], 1.25f);
    scene->animate(1500);
    EXPECT_FLOAT_EQ(probe.fields["Intensity"], 1.25f);
    scene->animate(-5);
    EXPECT_FLOAT_EQ(probe.fields["Intensity"], 0.5f);
}

TEST_F(ReadAnimationsTest, OnlyALoopingValueOfOneLoops)
{
    const std::pair<const char*, bool> cases[] = {{"a0.looping=1", true},  {"a0.looping=2", false},
                                                  {"a0.looping= 1x", true}, {"a0.looping=yes", false},
                                                  {"", false}};
    for (const auto& [line, loops] : cases) {
        SCOPED_TRACE(line);
        read(std::string("animations=1\na0.field=X\na0.keyframes=2\na0.kf0=0 0\na0.kf1=10 1\n") + line);
        scene->setLoaded(true);
        scene->animate(25);
        EXPECT_FLOAT_EQ(probe.fields["X"], loops ? 0.5f : 1.0f);
    }
}

TEST_F(ReadAnimationsTest, KeysTakeTheTimeBaseAndMissingValuesReadAsZero)
{
    read("animations=1\na0.field=X\na0.keyframes=4\n"
         "a0.kf0=   50\t 3 extra\n"
         "a0.kf1=100\n"
         "a0.kf2=\n"
         "a0.kf3=150 -1\n",
         100.0f, 2.0f);
    ASSERT_EQ(created, 1u);
    scene->setLoaded(true);
    const std::pair<float, float> samples[] = {{200, 3}, {300, 0}, {350, -0.5f}, {400, -1}};
    for (const auto& [time, value] : samples) {
        scene->animate(time);
        EXPECT_FLOAT_EQ(probe.fields["X"], value) << "t " << time;
    }
}

TEST_F(ReadAnimationsTest, KeysAreReadInIndexOrderBelowTheCountOnly)
{
    read("animations=1\na0.field=X\na0.keyframes=11\n"
         "a0.kf10=100 10\na0.kf2=20 2\na0.kf0=0 0\na0.kf02=1 99\na0.kf11=110 11\na0.kf-1=5 99\n");
    scene->setLoaded(true);
    const std::pair<float, float> samples[] = {{10, 1}, {60, 6}, {200, 10}};
    for (const auto& [time, value] : samples) {
        scene->animate(time);
        EXPECT_FLOAT_EQ(probe.fields["X"], value) << "t " << time;
    }
}

TEST_F(ReadAnimationsTest, CountsThatAreNegativeHugeOrUnbackedStayBounded)
{
    struct Case {
        const char* text;
        std::size_t tracks;
    };
    const Case cases[] = {
        {"animations=-3\na0.field=X\n", 0},
        {"animations=1\na0.field=X\na0.keyframes=-2\na0.kf0=0 1\n", 1},
        {"animations=2147483647\na0.field=X\na0.keyframes=2147483647\na0.kf0=0 1\n", 1},
        // A track without a field ends the list.
        {"animations=3\na0.field=X\na2.field=X\n", 1},
        // A field the object cannot give is dropped.
        {"animations=2\na0.field=Nope\na1.field=X\n", 1},
        {"", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        read(c.text);
        EXPECT_EQ(created, c.tracks);
    }
}

TEST_F(ReadAnimationsTest, ANodeTrackOnAnUnknownFieldEndsTheProgram)
{
    Group& group = node("n");
    Configuration properties;
    properties.parse("animations=1\na0.field=Visibility\n");
    EXPECT_EXIT(WITH_REAL_SHELL(group.readAnimations(*scene, properties, 0, 1)), ::testing::ExitedWithCode(0),
                "Error: Group: Invalid control field!");

    Configuration good;
    good.parse("animations=1\na0.field=VISTRACK\na0.keyframes=1\na0.kf0=0 0.25\n");
    group.readAnimations(*scene, good, 0, 1);
    scene->setLoaded(true);
    scene->animate(3);
    EXPECT_FLOAT_EQ(group.visibility, 0.25f);
}

} // namespace
