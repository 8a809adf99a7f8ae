// The sampled tracks: the time mapping (loops, holds, exact samples, blends, and the open
// cases), and what each kind writes and refreshes.
#include "scene_fixture.h"

#include "scene/index_buffer.h"
#include "scene/multi_vertex_buffer.h"
#include "scene/prs_controller.h"
#include "scene/sample_float_controller.h"
#include "scene/vertex_controller.h"

#include <cmath>
#include <limits>

namespace {

struct PickCase {
    float time;
    SampleTiming timing;
    std::size_t count;
    std::size_t a, b;
    float weight;
};

TEST(SampleTiming, MapsTimesOntoSamples)
{
    const SampleTiming plain{false, 0, 100, 300};
    const SampleTiming loop{true, 100, 0, 100};
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const PickCase cases[] = {
        {100, plain, 3, 0, 0, 0},       // t = S: sample 0
        {300, plain, 3, 2, 2, 0},       // t = E: sample n − 1
        {200, plain, 3, 1, 1, 0},       // the midpoint with n = 3 is sample 1, unblended
        {150, plain, 3, 0, 1, 0.5f},    {250, plain, 3, 1, 2, 0.5f},
        {50, plain, 3, 0, 0, 0},        {301, plain, 3, 2, 2, 0},
        {250, loop, 2, 0, 1, 0.5f},     // looping L = 100: 250 evaluates as 50
        {100, loop, 2, 1, 1, 0},        // a time equal to L stays L
        {200, loop, 2, 1, 1, 0},        // 200 → 100, not 0
        {250, {true, 0, 0, 100}, 2, 1, 1, 0},   // loop length 0 does not repeat
        {250, {false, 100, 0, 100}, 2, 1, 1, 0}, // not looping: held at the end
        {50, {false, 0, 50, 50}, 4, 0, 0, 0},    // start = end: sample 0 at start
        {51, {false, 0, 50, 50}, 4, 3, 3, 0},
        {nan, plain, 3, 0, 0, 0},
        {std::numeric_limits<float>::infinity(), loop, 2, 1, 1, 0},
        {7, {false, 0, 0, 10}, 1, 0, 0, 0},      // one sample
    };
    for (const PickCase& c : cases) {
        SCOPED_TRACE(testing::Message() << "t " << c.time << " start " << c.timing.start << " end " << c.timing.end);
        const SamplePick pick = pickSample(c.time, c.timing, c.count);
        EXPECT_EQ(pick.a, c.a);
        EXPECT_EQ(pick.b, c.b);
        EXPECT_FLOAT_EQ(pick.weight, c.weight);
    }
}

TEST(SampleTiming, FarTimesOnShortLoopsWrapInOneStep)
{
    // Repeated subtraction would never end here: 1e9 − 3 rounds back to 1e9 in float.
    const SamplePick pick = pickSample(1.0e9f, {true, 3, 0, 3}, 4);
    EXPECT_LE(pick.b, 3u);
    const float wrapped = static_cast<float>(std::fmod(1.0e9, 3.0));
    EXPECT_FLOAT_EQ(static_cast<float>(pick.a) + pick.weight, wrapped);
}

using SampledControllerTest = SceneTest;

TEST_F(SampledControllerTest, FloatTrackWritesItsFieldWithoutTouchingMatrices)
{
    Group& target = node("target");
    target.refresh(true);
    SampleFloatController track(&target, "VISTRACK");
    track.samples = {0.0f, 1.0f};
    track.timing = {false, 0, 0, 10};

    target.transform = at(5, 5, 5);
    track.evaluate(2.5f);
    EXPECT_FLOAT_EQ(target.visibility, 0.25f);
    EXPECT_EQ(target.centre(), D3DXVECTOR3(0, 0, 0));

    SampleFloatController empty(&target, "VISTRACK");
    empty.evaluate(5.0f);
    EXPECT_FLOAT_EQ(target.visibility, 0.25f);
    SampleFloatController noTarget(nullptr, "VISTRACK");
    EXPECT_FALSE(noTarget.bound());
    noTarget.samples = {1.0f};
    noTarget.evaluate(1.0f);
}

TEST_F(SampledControllerTest, TransformTrackBlendsAndRefreshesTheSubtree)
{
    Group& target = node("target");
    Group& child = node("child", target.id());
    child.transform = at(1, 0, 0);
    scene->prepare();

    Transform from, to;
    to.position = D3DXVECTOR3(10, 0, 0);
    to.scale = D3DXVECTOR3(3, 3, 3);
    const D3DXVECTOR3 zAxis(0, 0, 1);
    D3DXQuaternionRotationAxis(&to.rotation, &zAxis, 1.5707964f);
    PRSController track(&target);
    track.samples = {from, to};
    track.timing = {false, 0, 0, 100};

    track.evaluate(50.0f);
    EXPECT_FLOAT_EQ(target.transform.position.x, 5.0f);
    EXPECT_FLOAT_EQ(target.transform.scale.y, 2.0f);
    D3DXQUATERNION half;
    D3DXQuaternionSlerp(&half, &from.rotation, &to.rotation, 0.5f);
    EXPECT_EQ(target.transform.rotation, half);
    // The child follows: (1, 0, 0) scaled by 2, turned 45° about z, moved by 5.
    EXPECT_NEAR(child.centre().x, 5.0f + std::sqrt(2.0f), 1e-5f);
    EXPECT_NEAR(child.centre().y, std::sqrt(2.0f), 1e-5f);

    track.evaluate(100.0f);
    EXPECT_EQ(target.transform.rotation, to.rotation);
    EXPECT_EQ(target.transform.position, to.position);

    PRSController none(nullptr);
    none.samples = {to};
    none.evaluate(0.0f);
    PRSController empty(&target);
    empty.evaluate(0.0f);
    EXPECT_EQ(target.transform.position, to.position);
}

TEST_F(SampledControllerTest, VertexTrackRewritesPositionsOnlyAndUploads)
{
    auto& animated = scene->create<MultiVertexBuffer>(scene->nextId());
    animated.setVertices({0, 0, 0, 9, 9, 9, 1, 2, 3, 4, /**/ 0, 0, 0, 9, 9, 9, 5, 6, 7, 8, /**/ 0, 0, 0, 9, 9, 9,
                          1, 1, 1, 1});
    IndexBuffer& indices = scene->create<IndexBuffer>(scene->nextId());
    indices.setIndices({0, 1, 2});
    animated.buildAdjacency(indices);
    ASSERT_TRUE(animated.createDeviceBuffer());

    VertexController track(&animated);
    track.timing = {false, 0, 0, 10};
    track.evaluate(5.0f); // no frames: nothing happens
    EXPECT_EQ(animated.vertex(0)[3], 9.0f);

    animated.addFrame({0, 0, 0, 2, 0, 0, 0, 2, 0});
    animated.addFrame({0, 0, 2, 4, 0, 2, 0, 4, 2});
    device->clearCalls();
    track.evaluate(5.0f);
    EXPECT_EQ(animated.vertex(1)[0], 3.0f);
    EXPECT_EQ(animated.vertex(2)[1], 3.0f);
    EXPECT_EQ(animated.vertex(2)[2], 1.0f);
    EXPECT_EQ(animated.vertex(1)[6], 5.0f);
    EXPECT_EQ(animated.vertex(1)[9], 8.0f);
    EXPECT_EQ(animated.vertex(0)[5], 1.0f); // the normal was rebuilt
    void* data = nullptr;
    ASSERT_EQ(animated.deviceBuffer()->Lock(0, 0, &data, 0), D3D_OK);
    EXPECT_EQ(static_cast<const float*>(data)[10], 3.0f);
    animated.deviceBuffer()->Unlock();
}

} // namespace
