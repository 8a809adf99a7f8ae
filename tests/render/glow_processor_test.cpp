// The glow pass on the recording device: the exact run of targets, clears, texture stages,
// texture transforms and quads in four-tap and two-tap mode, checked against tables, and
// what the pass leaves behind.
#include "render/processor_fixture.h"

#include <cstring>

namespace {

// One level of the chain: where it draws, what it reads, half a target texel, the spread.
struct Level {
    const char* target;
    const char* source;
    float halfTexel;
    float spread;
};
const Level kChain[] = {
    {"T1", "T0", 0.001953125f, 0.005f}, {"T2", "T1", 0.0078125f, 0.010f}, {"T3", "T2", 0.015625f, 0.015f},
    {"T4", "T3", 0.0625f, 0.020f},      {"T5", "T4", 0.125f, 0.025f},     {"T6", "T5", 0.25f, 0.030f},
    {"T7", "T6", 0.5f, 0.035f},
};

struct TapMode {
    const char* name;
    DWORD maxTextures;
    DWORD stages;
    // Composite quads: the targets of each, stage by stage.
    std::vector<std::vector<std::string>> composite;
};

void PrintTo(const TapMode& mode, std::ostream* out) { *out << mode.name; }

class GlowSequenceTest : public ProcessorTest, public ::testing::WithParamInterface<TapMode> {
protected:
    void SetUp() override
    {
        ProcessorTest::SetUp();
        device->caps().MaxSimultaneousTextures = GetParam().maxTextures;
        build.material(1000, 1.0f, 1.0f);
        build.quad({1000});
        camera = &build.camera();
    }
    Camera* camera = nullptr;
};

void expectTapStages(const LoggedState& at, DWORD stages)
{
    for (DWORD stage = 0; stage < stages; ++stage) {
        SCOPED_TRACE(stage);
        const DWORD op = stage == 0 ? D3DTOP_MODULATE : D3DTOP_MULTIPLYADD;
        EXPECT_EQ(at.tss(stage, D3DTSS_COLOROP), op);
        EXPECT_EQ(at.tss(stage, D3DTSS_ALPHAOP), op);
        EXPECT_EQ(at.tss(stage, D3DTSS_COLORARG1), D3DTA_TEXTURE);
        EXPECT_EQ(at.tss(stage, D3DTSS_COLORARG2), D3DTA_TFACTOR);
        EXPECT_EQ(at.tss(stage, D3DTSS_ALPHAARG2), D3DTA_TFACTOR);
        if (stage > 0) {
            EXPECT_EQ(at.tss(stage, D3DTSS_COLORARG0), D3DTA_CURRENT);
        }
        EXPECT_EQ(at.tss(stage, D3DTSS_TEXTURETRANSFORMFLAGS), static_cast<DWORD>(D3DTTFF_COUNT2));
        EXPECT_EQ(at.tss(stage, D3DTSS_TEXCOORDINDEX), 0u);
        EXPECT_EQ(at.samp(stage, D3DSAMP_ADDRESSU), static_cast<DWORD>(D3DTADDRESS_CLAMP));
        EXPECT_EQ(at.samp(stage, D3DSAMP_ADDRESSV), static_cast<DWORD>(D3DTADDRESS_CLAMP));
        EXPECT_EQ(at.samp(stage, D3DSAMP_MINFILTER), static_cast<DWORD>(D3DTEXF_LINEAR));
        EXPECT_EQ(at.samp(stage, D3DSAMP_MAGFILTER), static_cast<DWORD>(D3DTEXF_LINEAR));
    }
    EXPECT_EQ(at.tss(stages, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
    EXPECT_EQ(at.tss(stages, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_DISABLE));
    EXPECT_EQ(at.rs(D3DRS_TEXTUREFACTOR), 0x44444444u);
}

// Stage k's texture transform: identity, with (du, dv) in the third row.
void expectOffset(const LoggedState& at, DWORD stage, float du, float dv)
{
    SCOPED_TRACE(stage);
    const std::array<float, 16>& m = at.textureTransforms[stage];
    EXPECT_FLOAT_EQ(m[8], du);
    EXPECT_FLOAT_EQ(m[9], dv);
    const float identityRest[] = {m[0] - 1, m[1], m[2], m[3], m[4], m[5] - 1, m[6], m[7], m[10] - 1, m[11],
                                  m[12],    m[13], m[14], m[15] - 1};
    for (float value : identityRest) EXPECT_EQ(value, 0.0f);
}

void expectQuad(const LoggedEvent& event)
{
    EXPECT_EQ(event.call, "DrawPrimitive");
    EXPECT_EQ(event.fields, (std::vector<std::string>{std::to_string(D3DPT_TRIANGLESTRIP), "0", "2"}));
}

TEST_P(GlowSequenceTest, DrawsTheSourceTheChainAndTheCompositeInOrder)
{
    const TapMode& mode = GetParam();
    const std::size_t from = frame();
    ASSERT_EQ(glow().twoTapMode(), mode.stages == 2);
    const std::size_t glowStart = findCall(device->calls(), "GetRenderTarget 0", from);
    ASSERT_LT(glowStart, device->calls().size());
    std::vector<LoggedEvent> events = walkLog(device->calls(), glowStart);
    std::size_t next = 0;
    auto take = [&]() -> const LoggedEvent& {
        EXPECT_LT(next, events.size());
        return events.at(next++);
    };

    const LoggedEvent& sourceClear = take();
    EXPECT_EQ(sourceClear.call, "Clear");
    EXPECT_EQ(sourceClear.fields, (std::vector<std::string>{"0", "0", "7", "0xff000000", "1", "127"}));
    EXPECT_EQ(sourceClear.state.target, "T0");
    EXPECT_EQ(sourceClear.state.depth, "glow-depth");
    const LoggedEvent& sourceDraw = take();
    EXPECT_EQ(sourceDraw.call, "DrawIndexedPrimitive");
    EXPECT_EQ(sourceDraw.state.target, "T0");
    EXPECT_EQ(sourceDraw.state.rs(D3DRS_AMBIENT), 0u);

    for (const Level& level : kChain) {
        SCOPED_TRACE(level.target);
        const float h = level.halfTexel;
        const float e = h + level.spread;
        const float g = h - level.spread;
        if (mode.stages == 2) {
            const LoggedEvent& clear = take();
            EXPECT_EQ(clear.call, "Clear");
            EXPECT_EQ(clear.state.target, level.target);
            EXPECT_EQ(clear.fields.at(2), "1");
            EXPECT_EQ(clear.fields.at(3), "0x00000000");
            const LoggedEvent& across = take();
            expectQuad(across);
            EXPECT_EQ(across.state.target, level.target);
            EXPECT_EQ(across.state.rs(D3DRS_ALPHABLENDENABLE), 0u);
            expectTapStages(across.state, 2);
            expectOffset(across.state, 0, e, h);
            expectOffset(across.state, 1, g, h);
            const LoggedEvent& down = take();
            expectQuad(down);
            EXPECT_EQ(down.state.rs(D3DRS_ALPHABLENDENABLE), 1u);
            EXPECT_EQ(down.state.rs(D3DRS_BLENDOP), static_cast<DWORD>(D3DBLENDOP_ADD));
            EXPECT_EQ(down.state.rs(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
            EXPECT_EQ(down.state.rs(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_ONE));
            EXPECT_EQ(down.stageCallsBefore, 0u) << "stages are set up once per pass";
            expectTapStages(down.state, 2);
            expectOffset(down.state, 0, h, e);
            expectOffset(down.state, 1, h, g);
            for (const LoggedEvent* quad : {&across, &down}) {
                EXPECT_EQ(quad->state.textures[0], level.source);
                EXPECT_EQ(quad->state.textures[1], level.source);
            }
            if (&level != &kChain[0]) {
                EXPECT_EQ(across.stageCallsBefore, 0u);
            }
        } else {
            const LoggedEvent& quad = take();
            expectQuad(quad);
            EXPECT_EQ(quad.state.target, level.target);
            EXPECT_EQ(quad.state.rs(D3DRS_ALPHABLENDENABLE), 0u);
            expectTapStages(quad.state, 4);
            expectOffset(quad.state, 0, e, h);
            expectOffset(quad.state, 1, g, h);
            expectOffset(quad.state, 2, h, e);
            expectOffset(quad.state, 3, h, g);
            for (DWORD stage = 0; stage < 4; ++stage) EXPECT_EQ(quad.state.textures[stage], level.source);
            if (&level != &kChain[0]) {
                EXPECT_EQ(quad.stageCallsBefore, 0u);
            }
        }
        const LoggedState& at = events.at(next - 1).state;
        EXPECT_EQ(at.rs(D3DRS_ZENABLE), 0u);
        EXPECT_EQ(at.rs(D3DRS_LIGHTING), 0u);
        EXPECT_EQ(at.depth, "glow-depth");
    }

    for (const std::vector<std::string>& textures : mode.composite) {
        const LoggedEvent& quad = take();
        expectQuad(quad);
        EXPECT_EQ(quad.state.target, "frame");
        EXPECT_EQ(quad.state.depth, "frame-depth");
        EXPECT_EQ(quad.state.rs(D3DRS_ALPHABLENDENABLE), 1u);
        EXPECT_EQ(quad.state.rs(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
        EXPECT_EQ(quad.state.rs(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_ONE));
        for (DWORD stage = 0; stage < mode.stages; ++stage) {
            SCOPED_TRACE(stage);
            EXPECT_EQ(quad.state.textures[stage], textures[stage]);
            EXPECT_EQ(quad.state.tss(stage, D3DTSS_COLOROP),
                      static_cast<DWORD>(stage == 0 ? D3DTOP_SELECTARG2 : D3DTOP_ADD));
            EXPECT_EQ(quad.state.tss(stage, D3DTSS_COLORARG1), D3DTA_CURRENT);
            EXPECT_EQ(quad.state.tss(stage, D3DTSS_COLORARG2), D3DTA_TEXTURE);
            EXPECT_EQ(quad.state.tss(stage, D3DTSS_TEXTURETRANSFORMFLAGS), static_cast<DWORD>(D3DTTFF_DISABLE));
            EXPECT_EQ(quad.state.samp(stage, D3DSAMP_MAGFILTER), static_cast<DWORD>(D3DTEXF_LINEAR));
        }
        EXPECT_EQ(quad.state.tss(mode.stages, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
    }
    EXPECT_EQ(next, events.size()) << "nothing is drawn after the composite";
}

TEST_P(GlowSequenceTest, LeavesTheCameraViewIdentityWorldAndAdditiveBlending)
{
    frame();
    D3DMATRIX view = device->transform(D3DTS_VIEW);
    D3DMATRIX projection = device->transform(D3DTS_PROJECTION);
    EXPECT_EQ(std::memcmp(&view, &camera->view(), sizeof view), 0);
    EXPECT_EQ(std::memcmp(&projection, &camera->projection(), sizeof projection), 0);
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    D3DMATRIX world = device->transform(D3DTS_WORLD);
    EXPECT_EQ(std::memcmp(&world, &identity, sizeof world), 0);
    EXPECT_EQ(device->renderState(D3DRS_ALPHABLENDENABLE), TRUE);
    EXPECT_EQ(device->renderState(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(device->renderState(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(device->renderState(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));
    EXPECT_EQ(device->renderState(D3DRS_ZWRITEENABLE), TRUE);
    EXPECT_EQ(device->renderState(D3DRS_LIGHTING), TRUE);
    EXPECT_EQ(device->renderTarget(), device->backBuffer());
    EXPECT_FALSE(scene->stateCache().glowPass);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, GlowSequenceTest,
    ::testing::Values(TapMode{"FourTaps", 8, 4, {{"T0", "T1", "T2", "T3"}, {"T4", "T5", "T6", "T7"}}},
                      TapMode{"TwoTaps", 2, 2, {{"T0", "T1"}, {"T2", "T3"}, {"T4", "T5"}, {"T6", "T7"}}}),
    [](const ::testing::TestParamInfo<TapMode>& info) { return std::string(info.param.name); });

using GlowTargetsTest = ProcessorTest;

TEST_F(GlowTargetsTest, AreEightSquareTexturesAndOneDepthSurfaceMadeOnce)
{
    const auto textures = callsNamed(device->calls(), "CreateTexture");
    ASSERT_EQ(textures.size(), 8u);
    const char* sides[] = {"512", "256", "64", "32", "8", "4", "2", "1"};
    for (std::size_t i = 0; i < 8; ++i) {
        EXPECT_EQ(textures[i][1], sides[i]);
        EXPECT_EQ(textures[i][2], sides[i]);
        EXPECT_EQ(textures[i][3], "1");
        EXPECT_EQ(textures[i][4], std::to_string(D3DUSAGE_RENDERTARGET));
        EXPECT_EQ(textures[i][5], std::to_string(D3DFMT_A8R8G8B8));
        EXPECT_EQ(textures[i][6], std::to_string(D3DPOOL_DEFAULT));
    }
    const auto depth = callsNamed(device->calls(), "CreateDepthStencilSurface");
    ASSERT_EQ(depth.size(), 1u);
    EXPECT_EQ(depth[0], (std::vector<std::string>{"CreateDepthStencilSurface", "512", "512",
                                                  std::to_string(D3DFMT_D24S8), "0", "0", "1", depth[0][7]}));
    EXPECT_TRUE(glowTargets().complete());
    glowTargets().create(device);
    EXPECT_EQ(callsNamed(device->calls(), "CreateTexture").size(), 8u) << "a second create makes nothing";
    const std::size_t before = device->calls().size();
    glowTargets().release();
    EXPECT_EQ(callsNamed(device->calls(), "Release", before).size(), 9u);
    EXPECT_FALSE(glowTargets().complete());
}

TEST_F(GlowTargetsTest, WithoutTheTargetsTheGlowPassDrawsNothingAndTheFrameStillDraws)
{
    build.material(1000, 1.0f, 1.0f);
    build.quad({1000});
    build.camera();
    glowTargets().release();
    const std::size_t from = frame();
    EXPECT_EQ(callsNamed(device->calls(), "DrawIndexedPrimitive", from).size(), 1u);
    EXPECT_EQ(callsNamed(device->calls(), "SetRenderTarget", from).size(), 0u);
    EXPECT_EQ(callsNamed(device->calls(), "DrawPrimitive", from).size(), 0u);
}

TEST_F(GlowTargetsTest, TargetsOfAnotherDeviceAreNotSampled)
{
    build.material(1000, 1.0f, 1.0f);
    build.quad({1000});
    build.camera();
    glowTargets().release();
    RecordingDevice* other = new RecordingDevice(64, 64, D3DFMT_X8R8G8B8);
    glowTargets().create(other);
    const std::size_t from = frame();
    EXPECT_EQ(callsNamed(device->calls(), "SetRenderTarget", from).size(), 0u);
    glowTargets().release();
    other->Release();
}

} // namespace
