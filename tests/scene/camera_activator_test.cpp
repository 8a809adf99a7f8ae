// The camera schedule: one activation per frame, sorted times, loops that repeat without the
// time being reduced, and the open cases.
#include "scene_fixture.h"

#include "scene/camera_activator_controller.h"

namespace {

class CameraActivatorTest : public SceneTest {
protected:
    Camera& first = camera("first");
    Camera& second = camera("second");

    void SetUp() override { scene->prepare(); }

    // Evaluates at t and says whether `second` was activated by it.
    bool activatesAt(CameraActivatorController& schedule, float t)
    {
        scene->setActiveCamera(&first);
        schedule.evaluate(t);
        return scene->activeCamera() == &second;
    }
};

TEST_F(CameraActivatorTest, TwoTimesPassedInOneFrameActivateOnConsecutiveFrames)
{
    CameraActivatorController schedule(&second, false);
    schedule.addTime(20);
    schedule.addTime(10);
    schedule.finish();
    schedule.loopLength = 1000;
    EXPECT_EQ(schedule.nextActivation(), 10u);

    EXPECT_FALSE(activatesAt(schedule, 10));
    EXPECT_TRUE(activatesAt(schedule, 25));
    EXPECT_EQ(schedule.nextActivation(), 20u);
    EXPECT_TRUE(activatesAt(schedule, 26));
    EXPECT_EQ(schedule.nextActivation(), CameraActivatorController::kNone);
    EXPECT_FALSE(activatesAt(schedule, 27));
}

TEST_F(CameraActivatorTest, PastTheLoopLengthANonLoopingScheduleStops)
{
    CameraActivatorController schedule(&second, false);
    schedule.addTime(150);
    schedule.finish();
    schedule.loopLength = 100;
    EXPECT_FALSE(activatesAt(schedule, 160));
    EXPECT_EQ(schedule.nextActivation(), 150u);
}

TEST_F(CameraActivatorTest, ALoopingScheduleRepeatsEveryLoopLength)
{
    CameraActivatorController schedule(&second, true);
    schedule.addTime(30);
    schedule.addTime(10);
    schedule.finish();
    schedule.loopLength = 100;

    struct Step {
        float time;
        bool activates;
        std::uint32_t next;
        std::uint32_t offset;
    };
    const Step steps[] = {
        {15, true, 30, 0},   {20, false, 30, 0},   {35, true, 110, 100}, {105, false, 110, 100},
        {111, true, 130, 100}, {500, true, 210, 200}, {500, true, 230, 200},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.time);
        EXPECT_EQ(activatesAt(schedule, step.time), step.activates);
        EXPECT_EQ(schedule.nextActivation(), step.next);
        EXPECT_EQ(schedule.cycleOffset(), step.offset);
    }
}

TEST_F(CameraActivatorTest, OpenCasesActivateNothingOrNoMoreThanOnce)
{
    // A looping schedule with loop length 0 does not repeat.
    CameraActivatorController zeroLoop(&second, true);
    zeroLoop.addTime(10);
    zeroLoop.finish();
    EXPECT_TRUE(activatesAt(zeroLoop, 11));
    EXPECT_FALSE(activatesAt(zeroLoop, 12));
    EXPECT_EQ(zeroLoop.nextActivation(), CameraActivatorController::kNone);

    CameraActivatorController noTimes(&second, true);
    noTimes.finish();
    noTimes.loopLength = 100;
    EXPECT_FALSE(activatesAt(noTimes, 5.0e9f));

    CameraActivatorController noCamera(nullptr, true);
    noCamera.addTime(0);
    noCamera.finish();
    noCamera.evaluate(50);
    EXPECT_EQ(noCamera.nextActivation(), 0u);
}

} // namespace
