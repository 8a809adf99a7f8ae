// The current scene in the Scripter's frame: the glow targets live exactly as long as the
// Scripter, and a playing scene is animated and drawn, plain pass and glow, between the
// layers behind it and the layers in front of it.
#include "render/glow_targets.h"
#include "render/processor_fixture.h"
#include "scripter_fixture.h"

namespace {

using SceneFrame = ScripterTest;

constexpr std::uint32_t kBehind = 0xFF000002, kInFront = 0xFF000003;

TEST_F(SceneFrame, TheGlowTargetsLiveFromTheScriptersConstructionToItsDestruction)
{
    EXPECT_TRUE(glowTargets().complete());
    EXPECT_EQ(glowTargets().device(), device);
    EXPECT_EQ(device->countCalls("CreateTexture"), 8u);
    EXPECT_EQ(device->countCalls("CreateDepthStencilSurface"), 1u);
    device->clearCalls();
    scripter.reset();
    EXPECT_FALSE(glowTargets().complete());
    EXPECT_EQ(glowTargets().device(), nullptr);
    EXPECT_EQ(device->countCalls("Release"), 9u);
}

TEST_F(SceneFrame, TheSceneDrawsWithItsGlowBetweenTheLayersBehindAndInFront)
{
    load("createcolor 0 0 2 behind\ncreatecolor 0 0 3 front\nsetlayer behind -1\nsetlayer front 0\nwait 100000\n");
    auto scene = std::make_unique<SceneGraph>(device, &standardProcessors());
    SceneBuilder build(*scene);
    build.material(1000, 1.0f, 1.0f);
    build.quad({1000});
    build.camera();
    scene->setLoaded(true);
    scene->prepare();
    SceneGraph* playing = scene.get();
    scripter->putScene("s", std::move(scene));
    scripter->setCurrentScene(playing);

    EXPECT_FALSE(frameAt(0.0f));
    const std::vector<std::string>& calls = device->calls();
    const std::string factor = "SetRenderState " + std::to_string(D3DRS_TEXTUREFACTOR) + " ";
    const std::size_t behind = findCall(calls, factor + std::to_string(kBehind));
    const std::size_t plainDraw = findCall(calls, "DrawIndexedPrimitive");
    const std::size_t glowStart = findCall(calls, "GetRenderTarget 0");
    std::size_t lastGlowQuad = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].rfind("DrawPrimitive ", 0) == 0) lastGlowQuad = i;
    }
    const std::size_t inFront = findCall(calls, factor + std::to_string(kInFront));
    ASSERT_LT(inFront, calls.size());
    EXPECT_LT(behind, plainDraw);
    EXPECT_LT(plainDraw, glowStart);
    EXPECT_LT(glowStart, lastGlowQuad);
    EXPECT_LT(lastGlowQuad, inFront);
    EXPECT_EQ(callsNamed(calls, "DrawIndexedPrimitive").size(), 2u) << "once plain, once into the glow source";
}

} // namespace
