// Texture: loading through the texture cache (once per name), has-alpha
// by format, the failures, the role stage states, the coordinate matrix and the stage limit.
#include "material_fixture.h"

#include <cstring>
#include <filesystem>

namespace {

float floatOf(DWORD bits)
{
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

using TextureTest = MaterialSceneTest;

TEST_F(TextureTest, TexturesOfOneFileShareOneDeviceTextureReadOnce)
{
    Texture& first = texture("opaque.png");
    std::filesystem::remove("opaque.png"); // a second read would now fail
    Texture& second = texture("opaque.png");
    EXPECT_EQ(first.deviceTexture(), second.deviceTexture());
    EXPECT_EQ(device->countCalls("CreateTexture"), 1u);
    EXPECT_EQ(scene->stateCache().textureCount(), 1u);
    EXPECT_TRUE(testShell.boxes.empty());
}

TEST_F(TextureTest, HasAlphaComesFromTheDecodedFormat)
{
    EXPECT_FALSE(texture("opaque.png").hasAlpha());
    EXPECT_TRUE(texture("alpha.png").hasAlpha());
    EXPECT_TRUE(texture("grey.png").hasAlpha());
    EXPECT_EQ(Texture(*scene, 99).name, "not loaded");
}

TEST_F(TextureTest, UnreadableFilesAndOtherFormatsEndTheProgram)
{
    writeText("broken.png", "not a picture");
    IDirect3DTexture9* odd = nullptr;
    ASSERT_EQ(device->CreateTexture(2, 2, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED, &odd, nullptr), D3D_OK);
    scene->stateCache().textureSlot("odd.png") = DeviceRef<IDirect3DTexture9>(odd);

    const struct {
        const char* file;
        const char* message;
    } cases[] = {{"missing.png", "Texture load failed: missing.png"},
                 {"broken.png", "Texture load failed: broken.png"},
                 {"odd.png", "Unknown texture format"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file);
        testShell.boxes.clear();
        try {
            texture(c.file);
            ADD_FAILURE() << "loaded";
        } catch (const ProcessExit& exit) {
            EXPECT_EQ(exit.code, 0);
        }
        ASSERT_EQ(testShell.boxes.size(), 1u);
        EXPECT_EQ(testShell.boxes[0].caption, "Error");
        EXPECT_EQ(testShell.boxes[0].text, c.message);
    }
}

struct RoleCase {
    TextureRole role;
    bool glowPass;
    D3DTEXTUREOP colourOp;
    DWORD colourArg0, colourArg1, colourArg2; // arg0 / arg2 compared only when non-zero
    D3DTEXTUREOP alphaOp;
    DWORD alphaArg0; // compared only when non-zero
    DWORD coordinates;
    D3DTEXTURETRANSFORMFLAGS transformFlags;
    D3DTEXTUREADDRESS address;
    DWORD maxMipLevel;
};

void PrintTo(const RoleCase& c, std::ostream* out)
{
    *out << "role " << static_cast<int>(c.role) << (c.glowPass ? " in the glow pass" : "");
}

class TextureRoleTest : public MaterialSceneTest, public ::testing::WithParamInterface<RoleCase> {};

TEST_P(TextureRoleTest, BindSetsTheRoleStatesOnTheCountersStageAndAdvancesIt)
{
    const RoleCase& c = GetParam();
    Texture& t = texture("opaque.png");
    t.uOffset = 0.25f;
    scene->stateCache().glowPass = c.glowPass;
    // Marks that show which states bind leaves alone.
    device->SetSamplerState(3, D3DSAMP_MAXMIPLEVEL, 5);
    device->SetTextureStageState(3, D3DTSS_COLORARG0, D3DTA_TFACTOR);
    device->SetTextureStageState(3, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT3);
    device->clearCalls();
    DWORD counter = 3;
    t.bind(counter, c.role);

    EXPECT_EQ(counter, 4u);
    EXPECT_EQ(device->texture(3), t.deviceTexture());
    EXPECT_EQ(stage(3, D3DTSS_COLOROP), DWORD(c.colourOp));
    EXPECT_EQ(stage(3, D3DTSS_COLORARG0), c.colourArg0 ? c.colourArg0 : D3DTA_TFACTOR);
    EXPECT_EQ(stage(3, D3DTSS_COLORARG1), c.colourArg1);
    if (c.colourArg2) {
        EXPECT_EQ(stage(3, D3DTSS_COLORARG2), c.colourArg2);
    }
    EXPECT_EQ(stage(3, D3DTSS_ALPHAOP), DWORD(c.alphaOp));
    if (c.alphaArg0) {
        EXPECT_EQ(stage(3, D3DTSS_ALPHAARG0), c.alphaArg0);
    }
    EXPECT_EQ(stage(3, D3DTSS_ALPHAARG1), D3DTA_TEXTURE);
    EXPECT_EQ(stage(3, D3DTSS_ALPHAARG2), D3DTA_CURRENT);
    EXPECT_EQ(stage(3, D3DTSS_TEXCOORDINDEX), c.coordinates);
    EXPECT_EQ(stage(3, D3DTSS_TEXTURETRANSFORMFLAGS), DWORD(c.transformFlags));
    EXPECT_EQ(sampler(3, D3DSAMP_ADDRESSU), DWORD(c.address));
    EXPECT_EQ(sampler(3, D3DSAMP_ADDRESSV), DWORD(c.address));
    for (D3DSAMPLERSTATETYPE filter : {D3DSAMP_MAGFILTER, D3DSAMP_MINFILTER, D3DSAMP_MIPFILTER})
        EXPECT_EQ(sampler(3, filter), DWORD(D3DTEXF_LINEAR));
    EXPECT_EQ(floatOf(sampler(3, D3DSAMP_MIPMAPLODBIAS)), 0.0f);
    EXPECT_EQ(sampler(3, D3DSAMP_MAXMIPLEVEL), c.maxMipLevel);
    const bool transformed = c.role != TextureRole::LightMap;
    EXPECT_EQ(device->countCalls("SetTransform"), transformed ? 1u : 0u);
    if (transformed) {
        EXPECT_FLOAT_EQ(device->transform(D3DTRANSFORMSTATETYPE(D3DTS_TEXTURE0 + 3))._31, -0.25f);
    }
}

const RoleCase kRoles[] = {
    {TextureRole::Diffuse, false, D3DTOP_MODULATE, 0, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_MODULATE, 0, 0,
     D3DTTFF_COUNT2, D3DTADDRESS_WRAP, 0},
    {TextureRole::SphereReflection, false, D3DTOP_ADDSMOOTH, 0, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG2, 0,
     D3DTSS_TCI_SPHEREMAP, D3DTTFF_COUNT2, D3DTADDRESS_CLAMP, 5},
    {TextureRole::SphereReflection, true, D3DTOP_MODULATE, 0, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_SELECTARG2, 0,
     D3DTSS_TCI_SPHEREMAP, D3DTTFF_COUNT2, D3DTADDRESS_CLAMP, 5},
    {TextureRole::Specular, false, D3DTOP_MULTIPLYADD, D3DTA_CURRENT, D3DTA_SPECULAR, D3DTA_TEXTURE, D3DTOP_MODULATE,
     0, 0, D3DTTFF_COUNT2, D3DTADDRESS_WRAP, 5},
    {TextureRole::Additive, false, D3DTOP_ADD, 0, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTOP_MODULATE, D3DTA_CURRENT, 0,
     D3DTTFF_COUNT2, D3DTADDRESS_WRAP, 5},
    // The light map's own coordinates are never transformed, whatever the stage had before.
    {TextureRole::LightMap, false, D3DTOP_SELECTARG1, 0, D3DTA_TEXTURE, 0, D3DTOP_SELECTARG1, 0, 1, D3DTTFF_DISABLE,
     D3DTADDRESS_WRAP, 0},
};

INSTANTIATE_TEST_SUITE_P(Roles, TextureRoleTest, ::testing::ValuesIn(kRoles), [](const auto& info) {
    return "role" + std::to_string(static_cast<int>(info.param.role)) + (info.param.glowPass ? "_glow" : "");
});

TEST_F(TextureTest, NoStageIsBoundAtTheDeviceLimit)
{
    Texture& t = texture("opaque.png");
    EXPECT_EQ(t.maxStages(), 8u);
    DWORD counter = 8;
    device->clearCalls();
    t.bind(counter, TextureRole::Diffuse);
    EXPECT_EQ(counter, 8u);
    EXPECT_TRUE(device->calls().empty());
}

TEST_F(TextureTest, CoordinateMatrixScalesAboutTheCentreThenSubtractsUAndAddsV)
{
    Texture t(*scene, 99);
    const struct {
        float uScale, vScale, uOffset, vOffset;
        float u, v, wantU, wantV;
    } cases[] = {
        {1, 1, 0, 0, 0.3f, 0.7f, 0.3f, 0.7f},
        {1, 1, 0.25f, 0, 0.5f, 0.5f, 0.25f, 0.5f},  // U offset moves one way...
        {1, 1, 0, 0.25f, 0.5f, 0.5f, 0.5f, 0.75f},  // ...V offset the other
        {2, 4, 0, 0, 0.75f, 0.25f, 1.0f, -0.5f},    // about (0.5, 0.5)
        {2, 1, 0.1f, -0.1f, 0.5f, 0.5f, 0.4f, 0.4f},
    };
    for (const auto& c : cases) {
        t.uScale = c.uScale;
        t.vScale = c.vScale;
        t.uOffset = c.uOffset;
        t.vOffset = c.vOffset;
        const D3DXMATRIX m = t.coordinateMatrix();
        // Two coordinates enter as (u, v, 1, 0): the third row is the translation.
        EXPECT_NEAR(c.u * m._11 + c.v * m._21 + m._31, c.wantU, 1e-6f);
        EXPECT_NEAR(c.u * m._12 + c.v * m._22 + m._32, c.wantV, 1e-6f);
        EXPECT_EQ(m._41, 0.0f);
        EXPECT_EQ(m._42, 0.0f);
    }
}

} // namespace
