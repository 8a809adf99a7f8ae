// The glow on the OpenGL device, whole 800 × 600 frames: a glow source that is all black
// changes no pixel; a small bright glowing object lights the whole screen faintly; two-tap
// and four-tap devices give the same picture within rounding.
#include "d3d9_gl/gl_test_support.h"
#include "platform/d3d9/core/device_core.h"
#include "render/processor_fixture.h"

#include <algorithm>
#include <cstdlib>

namespace {

// The plain pass only: the frame as it is before any glow is added.
class PlainOnly final : public ProcessorFactory {
public:
    Processor& createDefault(SceneGraph& scene, int id) const override { return scene.create<DefaultProcessor>(id); }
    Processor& createGlow(SceneGraph& scene, int id) const override { return scene.create<DefaultProcessor>(id); }
};

class GlowFrameTest : public GlDeviceTest {
protected:
    void SetUp() override
    {
        GlDeviceTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        createDevice(DeviceOptions{800, 600, D3DFMT_X8R8G8B8});
        glowTargets().create(device);
        ASSERT_TRUE(glowTargets().complete());
    }
    void TearDown() override
    {
        scenes.clear();
        glowTargets().release();
        GlDeviceTest::TearDown();
    }

    // A scene of one lit quad with this self-illumination, half-size `size` at distance 10.
    SceneGraph& quadScene(const ProcessorFactory& processors, float selfIllumination, float size)
    {
        scenes.push_back(std::make_unique<SceneGraph>(device, &processors));
        SceneGraph& scene = *scenes.back();
        SceneBuilder build(scene);
        build.material(1000, 1.0f, selfIllumination);
        build.quad({1000}, 0.0f, 0.0f, size);
        build.camera();
        scene.ambient = {0.6f, 0.6f, 0.6f, 1.0f};
        scene.setLoaded(true);
        scene.prepare();
        return scene;
    }

    Image drawFrame(SceneGraph& scene)
    {
        EXPECT_EQ(device->BeginScene(), D3D_OK);
        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000u, 1.0f, 0);
        scene.render();
        EXPECT_EQ(device->EndScene(), D3D_OK);
        return readTarget();
    }

    static int channelDifference(std::uint32_t a, std::uint32_t b)
    {
        int most = 0;
        for (int shift = 0; shift < 24; shift += 8)
            most = std::max(most, std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)));
        return most;
    }

    PlainOnly plainOnly;
    std::vector<std::unique_ptr<SceneGraph>> scenes;
};

TEST_F(GlowFrameTest, AnAllBlackGlowSourceLeavesEveryPixelAsThePlainPassDrewIt)
{
    const Image withGlow = drawFrame(quadScene(standardProcessors(), 0.0f, 3.0f));
    const Image plain = drawFrame(quadScene(plainOnly, 0.0f, 3.0f));
    ASSERT_EQ(withGlow.pixels.size(), 800u * 600u);
    // The lit quad is there at all, so the comparison is not of two black frames.
    EXPECT_GT(plain.rgb(400, 300) & 0xFF, 0x40u);
    std::size_t differing = 0;
    for (std::size_t i = 0; i < plain.pixels.size(); ++i) differing += (withGlow.pixels[i] & 0xFFFFFF) != (plain.pixels[i] & 0xFFFFFF);
    EXPECT_EQ(differing, 0u);
}

TEST_F(GlowFrameTest, ASmallBrightGlowingObjectLightsTheWholeScreenFaintly)
{
    const Image plain = drawFrame(quadScene(plainOnly, 1.0f, 0.4f));
    const Image glowing = drawFrame(quadScene(standardProcessors(), 1.0f, 0.4f));
    EXPECT_EQ(plain.rgb(5, 5), 0u);
    EXPECT_GE(glowing.rgb(400, 300) & 0xFF, 0xF0u);
    // Far from the object, at every corner, the stretched small levels still add a little.
    for (const auto& [x, y] : {std::pair{5, 5}, std::pair{794, 5}, std::pair{5, 594}, std::pair{794, 594}}) {
        SCOPED_TRACE(testing::Message() << x << "," << y);
        const std::uint32_t blue = glowing.rgb(x, y) & 0xFF;
        EXPECT_GE(blue, 1u);
        EXPECT_LE(blue, 0x30u);
        EXPECT_EQ(glowing.rgb(x, y) >> 16, blue) << "grey";
    }
}

TEST_F(GlowFrameTest, TwoTapAndFourTapDevicesAgreeWithinRounding)
{
    const Image fourTaps = drawFrame(quadScene(standardProcessors(), 1.0f, 1.5f));
    dynamic_cast<d3dcore::DeviceCore&>(*device).caps().MaxSimultaneousTextures = 2;
    SceneGraph& twoTapScene = quadScene(standardProcessors(), 1.0f, 1.5f);
    ASSERT_TRUE(dynamic_cast<GlowProcessor&>(*twoTapScene.processors().at(1)).twoTapMode());
    const Image twoTaps = drawFrame(twoTapScene);
    int worst = 0;
    std::size_t close = 0;
    for (std::size_t i = 0; i < fourTaps.pixels.size(); ++i) {
        const int difference = channelDifference(fourTaps.pixels[i], twoTaps.pixels[i]);
        worst = std::max(worst, difference);
        close += difference <= 2;
    }
    EXPECT_LE(worst, 8);
    EXPECT_GE(close, fourTaps.pixels.size() * 98 / 100) << "worst " << worst;
}

} // namespace
