// The plain pass on the recording device: what reaches the device for visibility, material
// order and repeats, sprites, the skybox, the lighting states and the full-screen quad.
#include "platform/d3d9/d3d9_helpers.h"
#include "render/processor_fixture.h"

#include <cstdlib>
#include <cstring>

namespace {

using DefaultProcessorTest = ProcessorTest;

struct VisibilityCase {
    float visibility;
    std::size_t draws;
};

class VisibilityTest : public ProcessorTest, public ::testing::WithParamInterface<VisibilityCase> {};

TEST_P(VisibilityTest, DrawsANodeOnlyWhileItsVisibilityIsAboveOneHalf)
{
    QuadMesh quad = build.quad({1000});
    build.material(1000);
    build.camera();
    quad.node->visibility = GetParam().visibility;
    const std::size_t from = plainPass();
    EXPECT_EQ(callsNamed(device->calls(), "DrawIndexedPrimitive", from).size(), GetParam().draws);
    EXPECT_EQ(plain().subMeshes().size(), GetParam().draws);
}

INSTANTIATE_TEST_SUITE_P(Visibilities, VisibilityTest,
                         ::testing::Values(VisibilityCase{0.0f, 0}, VisibilityCase{0.5f, 0}, VisibilityCase{0.51f, 1},
                                           VisibilityCase{1.0f, 1}));

struct RepeatCase {
    const char* what;
    float secondVisibility;
    std::size_t applies;
};

class RepeatTest : public ProcessorTest, public ::testing::WithParamInterface<RepeatCase> {};

TEST_P(RepeatTest, AppliesAMaterialOncePerRunOfEqualMaterialAndVisibility)
{
    build.material(1000);
    build.quad({1000});
    QuadMesh second = build.quad({1000}, 3.0f);
    second.node->visibility = GetParam().secondVisibility;
    build.camera();
    const std::size_t from = plainPass();
    EXPECT_EQ(callsNamed(device->calls(), "DrawIndexedPrimitive", from).size(), 2u);
    // Each apply sets the device material once.
    EXPECT_EQ(callsNamed(device->calls(), "SetMaterial", from).size(), GetParam().applies);
    // Both meshes use the same vertex format: it is set once.
    EXPECT_EQ(callsNamed(device->calls(), "SetFVF", from).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Runs, RepeatTest,
                         ::testing::Values(RepeatCase{"same visibility", 1.0f, 1},
                                           RepeatCase{"other visibility", 0.8f, 2}));

TEST_F(DefaultProcessorTest, DrawsOpaqueRangesFirstInMaterialOrderThenBlendedOnes)
{
    build.material(1003);
    build.material(1001, 0.5f); // blends
    build.material(1002);
    build.material(1000, 0.5f); // blends
    // Ranges start at 0, 6, 12, 18, in the file order of these ids.
    build.quad({1003, 1001, 1002, 1000});
    build.camera();
    const std::size_t from = plainPass();
    EXPECT_EQ(drawnStartIndices(device->calls(), from), (std::vector<unsigned>{12, 0, 18, 6}));
}

TEST_F(DefaultProcessorTest, SkipsRangesWithoutMaterialButDrawsTheRest)
{
    build.material(1000);
    build.quad({-1, 1000, 1234});
    build.camera();
    const std::size_t from = plainPass();
    EXPECT_EQ(drawnStartIndices(device->calls(), from), (std::vector<unsigned>{6}));
}

TEST_F(DefaultProcessorTest, SetsTheLightingStatesWithTheSceneAmbientOrBlackInTheGlowPass)
{
    build.material(1000);
    build.quad({1000});
    build.camera();
    scene->ambient = {1.0f, 0.5f, 0.0f, 1.0f};
    const std::size_t from = plainPass();
    const std::vector<LoggedEvent> draws = walkLog(device->calls(), from);
    ASSERT_EQ(draws.size(), 1u);
    const LoggedState& at = draws[0].state;
    EXPECT_EQ(at.rs(D3DRS_AMBIENT), 0xFFFF8000u);
    EXPECT_EQ(at.rs(D3DRS_AMBIENTMATERIALSOURCE), D3DMCS_MATERIAL);
    EXPECT_EQ(at.rs(D3DRS_SPECULARMATERIALSOURCE), D3DMCS_MATERIAL);
    EXPECT_EQ(at.rs(D3DRS_EMISSIVEMATERIALSOURCE), D3DMCS_MATERIAL);
    EXPECT_EQ(at.rs(D3DRS_COLORVERTEX), 0u);
    EXPECT_EQ(at.rs(D3DRS_STENCILENABLE), 0u);
    EXPECT_EQ(at.rs(D3DRS_ZENABLE), 1u);
    EXPECT_EQ(at.rs(D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));

    // The whole frame: the glow pass's own lighting states carry a black ambient.
    const std::size_t frameStart = frame();
    std::vector<DWORD> ambients;
    for (const auto& fields : callsNamed(device->calls(), "SetRenderState", frameStart)) {
        if (std::strtoul(fields[1].c_str(), nullptr, 0) == D3DRS_AMBIENT)
            ambients.push_back(static_cast<DWORD>(std::strtoul(fields[2].c_str(), nullptr, 0)));
    }
    EXPECT_EQ(ambients, (std::vector<DWORD>{0xFFFF8000u, 0u}));
}

TEST_F(DefaultProcessorTest, WithoutSpritesLeavesTheSubMeshStatesAsTheMaterialLeftThem)
{
    build.material(1000, 0.5f).blendMode = Material::kSubtractive;
    build.quad({1000});
    build.camera();
    const std::size_t from = plainPass();
    EXPECT_EQ(callsNamed(device->calls(), "DrawPrimitiveUP", from).size(), 0u);
    EXPECT_EQ(device->renderState(D3DRS_ALPHABLENDENABLE), TRUE);
    EXPECT_EQ(device->renderState(D3DRS_BLENDOP), static_cast<DWORD>(D3DBLENDOP_SUBTRACT));
    EXPECT_EQ(device->renderState(D3DRS_ZWRITEENABLE), FALSE);
    EXPECT_EQ(device->renderState(D3DRS_POINTSPRITEENABLE), FALSE);
}

class SpriteTest : public ProcessorTest {
protected:
    IDirect3DTexture9* makeTexture()
    {
        IDirect3DTexture9* made = nullptr;
        EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &made, nullptr), D3D_OK);
        owned.push_back(made);
        return made;
    }
    void TearDown() override
    {
        scene.reset();
        for (IDirect3DTexture9* texture : owned) texture->Release();
        ProcessorTest::TearDown();
    }
    std::vector<IDirect3DTexture9*> owned;
};

TEST_F(SpriteTest, DrawsAdditivePointSpritesInTextureOrderAndTheGlowPassLeavesExcludedOnesOut)
{
    build.texture(2002, makeTexture());
    build.texture(2001, makeTexture());
    build.sprite(2002, 16.0f, false, -2.0f);
    build.sprite(2001, 8.0f, true, 2.0f);
    build.camera();
    const std::size_t from = frame();
    const std::size_t glowStart = findCall(device->calls(), "GetRenderTarget", from);
    ASSERT_LT(glowStart, device->calls().size());

    const std::vector<LoggedEvent> events = walkLog(device->calls(), from);
    std::vector<const LoggedEvent*> points;
    for (const LoggedEvent& event : events) {
        if (event.call == "DrawPrimitiveUP" && event.fields[0] == "1") points.push_back(&event);
    }
    // Plain pass: both, texture 2001 first; glow pass: only the one not excluded.
    ASSERT_EQ(points.size(), 3u);
    const float sizes[] = {8.0f, 16.0f, 16.0f};
    for (std::size_t i = 0; i < points.size(); ++i) {
        const LoggedState& at = points[i]->state;
        EXPECT_EQ(points[i]->fields[1], "1");
        EXPECT_EQ(points[i]->fields[2], "12");
        EXPECT_EQ(at.rs(D3DRS_POINTSIZE), d3dFloatBits(sizes[i])) << i;
        EXPECT_EQ(at.rs(D3DRS_ALPHABLENDENABLE), 1u);
        EXPECT_EQ(at.rs(D3DRS_BLENDOP), static_cast<DWORD>(D3DBLENDOP_ADD));
        EXPECT_EQ(at.rs(D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
        EXPECT_EQ(at.rs(D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_ONE));
        EXPECT_EQ(at.rs(D3DRS_ZWRITEENABLE), 0u);
        EXPECT_EQ(at.rs(D3DRS_LIGHTING), 0u);
        EXPECT_EQ(at.rs(D3DRS_POINTSPRITEENABLE), 1u);
        EXPECT_EQ(at.rs(D3DRS_POINTSCALEENABLE), 1u);
        EXPECT_EQ(at.rs(D3DRS_POINTSIZE_MAX), d3dFloatBits(1024.0f));
        EXPECT_EQ(at.rs(D3DRS_POINTSCALE_C), d3dFloatBits(1.0f));
        EXPECT_EQ(at.tss(0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_SELECTARG1));
        EXPECT_EQ(at.tss(0, D3DTSS_COLORARG1), D3DTA_TEXTURE);
        EXPECT_EQ(at.tss(1, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
        // The point sits at its node's origin: the world transform carries the node's place.
        EXPECT_FLOAT_EQ(at.world[12], i == 0 ? 2.0f : -2.0f);
    }
    const std::string second = "@" + std::to_string(device->handleOf(owned[1]));
    const std::string first = "@" + std::to_string(device->handleOf(owned[0]));
    EXPECT_EQ(points[0]->state.textures[0], second);
    EXPECT_EQ(points[1]->state.textures[0], first);
    EXPECT_EQ(points[2]->state.textures[0], first);
    EXPECT_EQ(device->renderState(D3DRS_POINTSPRITEENABLE), FALSE);
    EXPECT_EQ(device->renderState(D3DRS_ZWRITEENABLE), TRUE);
}

TEST_F(DefaultProcessorTest, DrawsTheSkyboxAroundTheCameraWithoutDepthAndUnlit)
{
    build.material(1000);
    QuadMesh sky = build.quad({1000}, 0.0f, 0.0f, 50.0f, 0.0f);
    // Outside the tree, so only the skybox step draws it; fading does not reach the sky.
    sky.node->setParentId(-1);
    sky.node->visibility = 0.7f;
    scene->setSkybox(sky.node);
    Camera& camera = build.camera();
    camera.transform.position = D3DXVECTOR3(7.0f, 8.0f, 9.0f);
    const std::size_t from = plainPass();
    const std::vector<LoggedEvent> draws = walkLog(device->calls(), from);
    ASSERT_GE(draws.size(), 1u);
    const LoggedState& at = draws[0].state;
    // An opaque material turns depth writes back on; with the depth test off nothing is written.
    EXPECT_EQ(at.rs(D3DRS_ZENABLE), 0u);
    EXPECT_EQ(at.rs(D3DRS_LIGHTING), 0u);
    EXPECT_FLOAT_EQ(at.world[12], 7.0f);
    EXPECT_FLOAT_EQ(at.world[13], 8.0f);
    EXPECT_FLOAT_EQ(at.world[14], 9.0f);
    const auto materials = callsNamed(device->calls(), "SetMaterial", from);
    ASSERT_EQ(materials.size(), 1u);
    EXPECT_EQ(materials[0][4], "1"); // diffuse alpha at full visibility
}

TEST_F(DefaultProcessorTest, FullScreenQuadPutsTheViewAndProjectionBack)
{
    build.material(1000);
    build.quad({1000});
    build.camera();
    plainPass();
    const D3DMATRIX view = device->transform(D3DTS_VIEW);
    const D3DMATRIX projection = device->transform(D3DTS_PROJECTION);
    const std::size_t from = device->calls().size();
    device->BeginScene();
    plain().drawFullScreenQuad();
    device->EndScene();
    const std::vector<LoggedEvent> draws = walkLog(device->calls(), from);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].call, "DrawPrimitiveUP");
    EXPECT_EQ(draws[0].fields[0], std::to_string(D3DPT_TRIANGLESTRIP));
    EXPECT_EQ(draws[0].fields[2], "20");
    EXPECT_EQ(draws[0].state.rs(D3DRS_ZENABLE), 0u);
    EXPECT_EQ(draws[0].state.rs(D3DRS_LIGHTING), 0u);
    const D3DMATRIX viewAfter = device->transform(D3DTS_VIEW);
    EXPECT_EQ(std::memcmp(&viewAfter, &view, sizeof view), 0);
    const D3DMATRIX after = device->transform(D3DTS_PROJECTION);
    EXPECT_EQ(std::memcmp(&after, &projection, sizeof projection), 0);
    EXPECT_EQ(device->renderState(D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));
    EXPECT_EQ(device->renderState(D3DRS_LIGHTING), TRUE);
}

} // namespace
