// Material: link, needsBlending and the device state apply leaves, for the blend modes, fades,
// map roles and the glow colour.
#include "material_fixture.h"

#include "scene/colour_pack.h"

#include <cmath>

namespace {

struct BlendCase {
    const char* what;
    float opacity;
    int blendMode;
    const char* diffuseMap; // null: none
    float visibility;
    bool blends;
    DWORD blendOp, sourceBlend, destinationBlend; // checked only when blending
    bool depthWrites;
    float diffuseAlpha; // of the device material after apply
};

void PrintTo(const BlendCase& c, std::ostream* out) { *out << c.what; }

class MaterialBlendTest : public MaterialSceneTest, public ::testing::WithParamInterface<BlendCase> {};

TEST_P(MaterialBlendTest, ApplyLeavesTheBlendingDepthAndAlphaState)
{
    const BlendCase& c = GetParam();
    Material& m = material();
    m.opacity = c.opacity;
    m.blendMode = c.blendMode;
    if (c.diffuseMap) m.setMap(TextureRole::Diffuse, texture(c.diffuseMap).id());
    m.link();
    // States a blending apply must overwrite start at values no case expects.
    device->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_MAX);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ZERO);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ZERO);
    const DWORD presetDepthWrites = c.depthWrites ? FALSE : TRUE;
    device->SetRenderState(D3DRS_ZWRITEENABLE, presetDepthWrites);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);
    m.apply(c.visibility);

    EXPECT_EQ(state(D3DRS_ALPHABLENDENABLE), DWORD(c.blends));
    if (c.blends) {
        EXPECT_EQ(state(D3DRS_BLENDOP), c.blendOp);
        EXPECT_EQ(state(D3DRS_SRCBLEND), c.sourceBlend);
        EXPECT_EQ(state(D3DRS_DESTBLEND), c.destinationBlend);
    }
    // An unknown mode (blend states expected untouched) leaves depth writes alone too.
    const bool untouched = c.blends && c.blendOp == D3DBLENDOP_MAX;
    EXPECT_EQ(state(D3DRS_ZWRITEENABLE), untouched ? presetDepthWrites : DWORD(c.depthWrites));
    EXPECT_EQ(state(D3DRS_ALPHATESTENABLE), DWORD(TRUE));
    EXPECT_EQ(state(D3DRS_ALPHAREF), 1u);
    EXPECT_NEAR(device->material().Diffuse.a, c.diffuseAlpha, 1e-6f);
}

const BlendCase kBlendCases[] = {
    {"opaque_map_at_full_opacity", 1.0f, 0, "opaque.png", 1.0f, false, 0, 0, 0, true, 1.0f},
    {"half_opacity_alpha_blend", 0.5f, 2, nullptr, 1.0f, true, D3DBLENDOP_ADD, D3DBLEND_SRCALPHA,
     D3DBLEND_INVSRCALPHA, true, 0.125f},
    {"half_opacity_subtractive", 0.5f, 0, nullptr, 1.0f, true, D3DBLENDOP_SUBTRACT, D3DBLEND_SRCALPHA,
     D3DBLEND_DESTALPHA, false, 0.125f},
    {"half_opacity_additive", 0.5f, 1, nullptr, 1.0f, true, D3DBLENDOP_ADD, D3DBLEND_SRCALPHA, D3DBLEND_DESTALPHA,
     false, 0.125f},
    // f = 0.5: additive whatever the mode.
    {"fading_subtractive_adds", 1.0f, 0, nullptr, 0.75f, true, D3DBLENDOP_ADD, D3DBLEND_SRCALPHA,
     D3DBLEND_DESTALPHA, false, 0.5f},
    {"fading_alpha_blend_adds", 1.0f, 2, nullptr, 0.75f, true, D3DBLENDOP_ADD, D3DBLEND_SRCALPHA,
     D3DBLEND_DESTALPHA, false, 0.5f},
    // f × opacity² with a diffuse map, f × opacity³ without: 0.5 × 0.4² and 0.5 × 0.4³.
    {"map_alpha_carries_opacity_twice", 0.4f, 2, "opaque.png", 0.75f, true, D3DBLENDOP_ADD, D3DBLEND_SRCALPHA,
     D3DBLEND_DESTALPHA, false, 0.08f},
    {"colour_alpha_carries_opacity_three_times", 0.4f, 2, nullptr, 0.75f, true, D3DBLENDOP_ADD, D3DBLEND_SRCALPHA,
     D3DBLEND_DESTALPHA, false, 0.032f},
    // Link turns subtractive into alpha blending for a map with alpha.
    {"alpha_map_subtractive_becomes_alpha_blend", 1.0f, 0, "alpha.png", 1.0f, true, D3DBLENDOP_ADD,
     D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, true, 1.0f},
    // Visibility 0.995 has f = 0.99: blended additively although the sort calls it opaque.
    {"nearly_visible_opaque_blends_additively", 1.0f, 2, nullptr, 0.995f, true, D3DBLENDOP_ADD, D3DBLEND_SRCALPHA,
     D3DBLEND_DESTALPHA, false, 0.99f},
    // A mode outside 0..2 enables blending and leaves the blend states alone.
    {"unknown_mode_only_enables_blending", 0.5f, 7, nullptr, 1.0f, true, D3DBLENDOP_MAX, D3DBLEND_ZERO,
     D3DBLEND_ZERO, false, 0.125f},
};

INSTANTIATE_TEST_SUITE_P(Cases, MaterialBlendTest, ::testing::ValuesIn(kBlendCases),
                         [](const auto& info) { return std::string(info.param.what); });

TEST_F(MaterialSceneTest, NeedsBlendingFollowsVisibilitySpecularMapOpacityAndMapAlpha)
{
    Material& plain = material();
    Material& translucent = material();
    translucent.opacity = 0.5f;
    Material& withSpecular = material();
    withSpecular.opacity = 0.5f;
    withSpecular.setMap(TextureRole::Specular, texture("opaque.png").id());
    Material& alphaMap = material();
    alphaMap.setMap(TextureRole::Diffuse, texture("alpha.png").id());
    Material& greyMap = material();
    greyMap.setMap(TextureRole::Diffuse, texture("grey.png").id());

    EXPECT_FALSE(plain.needsBlending(1.0f));
    EXPECT_FALSE(plain.needsBlending(0.995f));
    EXPECT_TRUE(plain.needsBlending(0.99f));
    EXPECT_TRUE(translucent.needsBlending(1.0f));
    // A specular map outranks the opacity, not the visibility.
    EXPECT_FALSE(withSpecular.needsBlending(1.0f));
    EXPECT_TRUE(withSpecular.needsBlending(0.5f));
    EXPECT_TRUE(alphaMap.needsBlending(1.0f));
    EXPECT_TRUE(greyMap.needsBlending(1.0f)); // L8 counts as alpha
}

TEST_F(MaterialSceneTest, LinkDerivesTheDeviceMaterial)
{
    Material& m = material();
    m.opacity = 0.6f;
    m.specularLevel = 0.5f;
    m.glossiness = 0.25f;
    m.selfIllumination = 0.3f;
    m.link();
    const D3DMATERIAL9& d = m.deviceMaterial();
    EXPECT_FLOAT_EQ(m.diffuse.a, 0.6f);
    EXPECT_FLOAT_EQ(m.ambient.a, 0.6f);
    EXPECT_FLOAT_EQ(d.Diffuse.g, 0.6f);
    EXPECT_FLOAT_EQ(d.Ambient.a, 0.6f);
    EXPECT_FLOAT_EQ(d.Specular.r, 0.5f);
    EXPECT_FLOAT_EQ(d.Specular.b, 0.125f);
    EXPECT_FLOAT_EQ(d.Specular.a, 0.3f); // the opacity, scaled too
    EXPECT_FLOAT_EQ(d.Emissive.r, 0.3f);
    EXPECT_FLOAT_EQ(d.Emissive.a, 1.0f);
    EXPECT_FLOAT_EQ(d.Power, 8.0f);
    EXPECT_EQ(m.blendMode, 0); // no map with alpha: the mode stays
}

TEST_F(MaterialSceneTest, EveryMapTakesTheNextStageInItsRoleAndTheRestAreReset)
{
    Material& m = material();
    const int light = texture("grey.png").id();
    const int diffuse = texture("opaque.png").id();
    const int specular = texture("alpha.png").id();
    m.setMap(TextureRole::LightMap, light);
    m.setMap(TextureRole::Diffuse, diffuse);
    m.setMap(TextureRole::Specular, specular);
    m.setMap(TextureRole::SphereReflection, diffuse);
    m.setMap(TextureRole::Additive, light);
    m.link();
    for (DWORD s = 0; s < 8; ++s) device->SetTexture(s, m.map(TextureRole::Diffuse)->deviceTexture());
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    m.apply(1.0f);

    const struct {
        TextureRole role;
        D3DTEXTUREOP colourOp;
        DWORD coordinates;
    } stages[] = {{TextureRole::LightMap, D3DTOP_SELECTARG1, 1},
                  {TextureRole::Diffuse, D3DTOP_MODULATE, 0},
                  {TextureRole::Specular, D3DTOP_MULTIPLYADD, 0},
                  {TextureRole::SphereReflection, D3DTOP_ADDSMOOTH, D3DTSS_TCI_SPHEREMAP},
                  {TextureRole::Additive, D3DTOP_ADD, 0}};
    for (DWORD s = 0; s < 5; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(device->texture(s), m.map(stages[s].role)->deviceTexture());
        EXPECT_EQ(stage(s, D3DTSS_COLOROP), DWORD(stages[s].colourOp));
        EXPECT_EQ(stage(s, D3DTSS_TEXCOORDINDEX), stages[s].coordinates);
    }
    for (DWORD s = 5; s < 8; ++s) {
        SCOPED_TRACE(s);
        EXPECT_EQ(device->texture(s), nullptr);
        EXPECT_EQ(stage(s, D3DTSS_TEXTURETRANSFORMFLAGS), DWORD(D3DTTFF_DISABLE));
        EXPECT_EQ(stage(s, D3DTSS_TEXCOORDINDEX), s);
    }
    // A light map turns lighting off unless there is a specular map, which turns highlights off.
    EXPECT_EQ(state(D3DRS_LIGHTING), DWORD(TRUE));
    EXPECT_EQ(state(D3DRS_SPECULARENABLE), DWORD(FALSE));
    EXPECT_EQ(device->material().Diffuse.r, 1.0f);
}

TEST_F(MaterialSceneTest, LightingAndHighlightsWithoutMaps)
{
    Material& lightMapped = material();
    lightMapped.setMap(TextureRole::LightMap, texture("grey.png").id());
    lightMapped.link();
    lightMapped.apply(1.0f);
    EXPECT_EQ(state(D3DRS_LIGHTING), DWORD(FALSE));
    EXPECT_EQ(state(D3DRS_SPECULARENABLE), DWORD(TRUE));

    Material& plain = material();
    plain.link();
    plain.apply(1.0f);
    EXPECT_EQ(state(D3DRS_LIGHTING), DWORD(TRUE));
    EXPECT_EQ(device->texture(0), nullptr); // every stage reset from 0
    EXPECT_FLOAT_EQ(device->material().Diffuse.r, 0.8f);
    EXPECT_FLOAT_EQ(device->material().Diffuse.b, 0.4f);
}

TEST_F(MaterialSceneTest, GlowPassDrawsTheSelfIlluminationGreyWithTheMapsOnLaterStages)
{
    Material& m = material();
    m.opacity = 0.5f;
    m.selfIllumination = 0.6f;
    m.setMap(TextureRole::LightMap, texture("grey.png").id());
    m.setMap(TextureRole::Diffuse, texture("opaque.png").id());
    m.setMap(TextureRole::SphereReflection, texture("alpha.png").id());
    m.link();
    scene->stateCache().glowPass = true;
    m.apply(1.0f);

    // Grey 0.6 → 153; alpha = f × linked alpha × opacity = 0.25 → 64.
    EXPECT_EQ(state(D3DRS_TEXTUREFACTOR), 0x40999999u);
    EXPECT_EQ(state(D3DRS_LIGHTING), DWORD(FALSE));
    EXPECT_EQ(device->texture(0), nullptr);
    EXPECT_EQ(stage(0, D3DTSS_COLOROP), DWORD(D3DTOP_SELECTARG1));
    EXPECT_EQ(stage(0, D3DTSS_COLORARG1), D3DTA_TFACTOR);
    EXPECT_EQ(stage(0, D3DTSS_ALPHAOP), DWORD(D3DTOP_SELECTARG1));
    EXPECT_EQ(stage(0, D3DTSS_ALPHAARG1), D3DTA_TFACTOR);
    // No light map in the glow colour; the diffuse map, then the sphere map, which modulates.
    EXPECT_EQ(device->texture(1), m.map(TextureRole::Diffuse)->deviceTexture());
    EXPECT_EQ(device->texture(2), m.map(TextureRole::SphereReflection)->deviceTexture());
    EXPECT_EQ(stage(2, D3DTSS_COLOROP), DWORD(D3DTOP_MODULATE));
    EXPECT_EQ(device->texture(3), nullptr);
}

TEST(ColourPack, ChannelsRoundAndSaturate)
{
    EXPECT_EQ(packArgb(1.0f, 0.0f, 0.5f, 2.0f), 0xFFFF0080u);
    EXPECT_EQ(packArgb(-1.0f, 0.999f, 0.002f, 0.0f), 0x0000FF01u);
    EXPECT_EQ(packArgb(std::nanf(""), 0.6f, 0.6f, 0.25f), 0x40009999u);
}

TEST_F(MaterialSceneTest, OnlyOpacityIsAnimatable)
{
    Material& m = material();
    EXPECT_EQ(m.controlField("OPACITY"), &m.opacity);
    EXPECT_THROW(m.controlField("opacity"), ProcessExit);
    ASSERT_EQ(testShell.boxes.size(), 1u);
    EXPECT_EQ(testShell.boxes[0].caption, "Error");
    EXPECT_EQ(testShell.boxes[0].text, "Material: Invalid control field!");
}

} // namespace
