// Rules of the Direct3D 9 pipeline that the player relies on beyond the conformance vectors:
// blending into targets with and without alpha, MAXMIPLEVEL, a missing texture after stage 0,
// argument modifiers and TEMP, sphere-map generation, spot and attenuated point lights,
// unnormalised normals, the specular argument with highlights off, texture-matrix scale and
// offset, pre-transformed vertices, scissor and flat shading. Expected values follow from the
// documented formulas.
#include "gl_test_support.h"

#include <cmath>

namespace {

const XyzDiffuseVertex kRedQuad[] = {{-1, -1, 0.1f, 0xFFFF0000}, {-1, 1, 0.1f, 0xFFFF0000}, {1, -1, 0.1f, 0xFFFF0000},
                                     {1, 1, 0.1f, 0xFFFF0000}};

// The 5 × 5 grid at z = 1 facing the viewer, read on its vertices (see the specular vectors).
struct Grid {
    XyzNormalVertex vertices[25];
    WORD indices[96];
    Grid()
    {
        for (int j = 0; j < 5; ++j)
            for (int i = 0; i < 5; ++i) vertices[j * 5 + i] = {-1.0f + 0.5f * i, -1.0f + 0.5f * j, 1.0f, 0, 0, -1};
        int n = 0;
        for (int j = 0; j < 4; ++j)
            for (int i = 0; i < 4; ++i) {
                const WORD a = static_cast<WORD>(j * 5 + i);
                for (WORD index : {a, WORD(a + 5), WORD(a + 1), WORD(a + 1), WORD(a + 5), WORD(a + 6)}) indices[n++] = index;
            }
    }
};

} // namespace

class DocumentedRules : public GlDeviceTest {
protected:
    void drawGrid()
    {
        static const Grid grid;
        ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL), D3D_OK);
        ASSERT_EQ(device->BeginScene(), D3D_OK);
        ASSERT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 25, 32, grid.indices, D3DFMT_INDEX16,
                                                 grid.vertices, sizeof grid.vertices[0]),
                  D3D_OK);
        ASSERT_EQ(device->EndScene(), D3D_OK);
    }
    void clear(D3DCOLOR color) { ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, color, 1.0f, 0), D3D_OK); }
};

TEST_F(DocumentedRules, BlendingWithAndWithoutDestinationAlpha)
{
    struct Case {
        const char* name;
        D3DFORMAT target;
        D3DBLENDOP op;
        D3DBLEND source, destination;
        D3DCOLOR background, drawn;
        std::uint32_t expected;
    };
    const Case cases[] = {
        // src·As − dst: the object minus the background, clamped at 0.
        {"SUBTRACT SRCALPHA/DESTALPHA on X8", D3DFMT_X8R8G8B8, D3DBLENDOP_SUBTRACT, D3DBLEND_SRCALPHA, D3DBLEND_DESTALPHA,
         0xFF404040, 0x80C0C0C0, 0x202020},
        {"SUBTRACT clamps at zero", D3DFMT_X8R8G8B8, D3DBLENDOP_SUBTRACT, D3DBLEND_SRCALPHA, D3DBLEND_DESTALPHA,
         0xFF404040, 0x40404040, 0x000000},
        {"ADD ONE/ONE", D3DFMT_X8R8G8B8, D3DBLENDOP_ADD, D3DBLEND_ONE, D3DBLEND_ONE, 0xFF404040, 0xFF302010, 0x706050},
        {"DESTALPHA is one without stored alpha", D3DFMT_X8R8G8B8, D3DBLENDOP_ADD, D3DBLEND_ONE, D3DBLEND_DESTALPHA,
         0x00404040, 0xFF101010, 0x505050},
        {"DESTALPHA reads stored alpha on A8", D3DFMT_A8R8G8B8, D3DBLENDOP_ADD, D3DBLEND_ONE, D3DBLEND_DESTALPHA,
         0x00404040, 0xFF101010, 0x101010},
        {"INVDESTALPHA is zero without stored alpha", D3DFMT_X8R8G8B8, D3DBLENDOP_ADD, D3DBLEND_INVDESTALPHA, D3DBLEND_ONE,
         0x00404040, 0xFF101010, 0x404040},
        {"REVSUBTRACT", D3DFMT_X8R8G8B8, D3DBLENDOP_REVSUBTRACT, D3DBLEND_ONE, D3DBLEND_ONE, 0xFF404040, 0xFF102030, 0x302010},
    };
    for (const Case& c : cases) {
        DeviceOptions options;
        options.format = c.target;
        createDevice(options);
        clear(c.background);
        setRs(D3DRS_LIGHTING, FALSE);
        setRs(D3DRS_ALPHABLENDENABLE, TRUE);
        setRs(D3DRS_BLENDOP, c.op);
        setRs(D3DRS_SRCBLEND, c.source);
        setRs(D3DRS_DESTBLEND, c.destination);
        ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
        XyzDiffuseVertex quad[4];
        for (int i = 0; i < 4; ++i) quad[i] = {kRedQuad[i].x, kRedQuad[i].y, 0.1f, c.drawn};
        drawStrip(quad);
        EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), c.expected, 1)) << c.name;
    }
}

TEST_F(DocumentedRules, MaxMipLevelNamesTheMostDetailedLevel)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 3, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    const std::uint32_t levelColours[] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
    for (UINT level = 0; level < 3; ++level) {
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
        const UINT size = 4u >> level;
        for (UINT y = 0; y < size; ++y)
            for (UINT x = 0; x < size; ++x)
                static_cast<std::uint32_t*>(locked.pBits)[y * locked.Pitch / 4 + x] = levelColours[level];
        ASSERT_EQ(texture->UnlockRect(level), D3D_OK);
    }
    struct Case {
        const char* name;
        D3DTEXTUREFILTERTYPE mip;
        DWORD maxLevel;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {"ignored without mip filtering", D3DTEXF_NONE, 1, 0xFF0000},
        {"clamps the level even when magnified", D3DTEXF_POINT, 1, 0x00FF00},
        {"beyond the chain selects the last level", D3DTEXF_POINT, 7, 0x0000FF},
        {"zero uses the whole chain", D3DTEXF_LINEAR, 0, 0xFF0000},
    };
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    setRs(D3DRS_LIGHTING, FALSE);
    setTss(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1), D3D_OK);
    const XyzTexVertex quad[] = {{-1, -1, 0.1f, 0, 1}, {-1, 1, 0.1f, 0, 0}, {1, -1, 0.1f, 1, 1}, {1, 1, 0.1f, 1, 0}};
    for (const Case& c : cases) {
        ASSERT_EQ(device->SetSamplerState(0, D3DSAMP_MIPFILTER, c.mip), D3D_OK);
        ASSERT_EQ(device->SetSamplerState(0, D3DSAMP_MAXMIPLEVEL, c.maxLevel), D3D_OK);
        clear(0xFF000000);
        drawStrip(quad);
        EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), c.expected, 0)) << c.name;
    }
    device->SetTexture(0, nullptr);
    texture->Release();
}

// A stage whose colour operation needs a missing texture ends the cascade there (the
// recommended rule): the later ADD of the texture factor does not happen.
TEST_F(DocumentedRules, MissingTextureAfterStageZeroEndsTheCascade)
{
    clear(0xFF000000);
    setRs(D3DRS_LIGHTING, FALSE);
    setRs(D3DRS_TEXTUREFACTOR, 0xFF00FF00);
    setTss(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    setTss(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    setTss(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    setTss(2, D3DTSS_COLOROP, D3DTOP_ADD);
    setTss(2, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    drawStrip(kRedQuad);
    EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0xFF0000, 0));
    // A texture-less stage that does not read TEXTURE is an ordinary stage.
    setTss(1, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    setTss(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
    drawStrip(kRedQuad);
    EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0xFFFF00, 0));
}

TEST_F(DocumentedRules, ArgumentModifiersAndTheTempRegister)
{
    struct Case {
        const char* name;
        int stages;
        DWORD op[3], arg1[3], arg2[3], result[3];
        std::uint32_t expected;
    };
    const DWORD cur = D3DTA_CURRENT, tmp = D3DTA_TEMP;
    const Case cases[] = {
        {"TFACTOR alone on a texture-less stage 0", 1, {D3DTOP_SELECTARG1}, {D3DTA_TFACTOR}, {cur}, {cur}, 0x20A0E0},
        {"COMPLEMENT", 1, {D3DTOP_SELECTARG1}, {D3DTA_TFACTOR | D3DTA_COMPLEMENT}, {cur}, {cur}, 0xDF5F1F},
        {"ALPHAREPLICATE of the factor", 1, {D3DTOP_SELECTARG1}, {D3DTA_TFACTOR | D3DTA_ALPHAREPLICATE}, {cur}, {cur}, 0x808080},
        {"TEMP keeps CURRENT untouched", 3, {D3DTOP_SELECTARG1, D3DTOP_SELECTARG1, D3DTOP_ADD},
         {D3DTA_TFACTOR, D3DTA_DIFFUSE, cur}, {cur, cur, tmp}, {tmp, cur, cur}, 0xFFA0E0},
    };
    setRs(D3DRS_LIGHTING, FALSE);
    setRs(D3DRS_TEXTUREFACTOR, 0x8020A0E0);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    for (const Case& c : cases) {
        for (int s = 0; s < 3; ++s) {
            setTss(s, D3DTSS_COLOROP, s < c.stages ? c.op[s] : D3DTOP_DISABLE);
            if (s >= c.stages) continue;
            setTss(s, D3DTSS_COLORARG1, c.arg1[s]);
            setTss(s, D3DTSS_COLORARG2, c.arg2[s]);
            setTss(s, D3DTSS_RESULTARG, c.result[s]);
        }
        clear(0xFF000000);
        drawStrip(kRedQuad);
        EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), c.expected, 1)) << c.name;
    }
}

// Sphere map with the (Rz + 1) term: a normal tilted towards +x under a camera looking along +z
// reflects to R = (0.8, 0, -0.6), which samples s = 0.8 / (2·sqrt(0.64 + 0.16)) + 0.5 = 0.947.
TEST_F(DocumentedRules, SphereMapGeneration)
{
    std::vector<std::uint32_t> texels(256);
    for (UINT x = 0; x < 256; ++x) texels[x] = 0xFF000000u | x << 16;
    IDirect3DTexture9* texture = makeTexture(256, 1, D3DFMT_X8R8G8B8, texels);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    ASSERT_EQ(device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP), D3D_OK);
    ASSERT_EQ(device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP), D3D_OK);
    setTss(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    setTss(0, D3DTSS_TEXCOORDINDEX, D3DTSS_TCI_SPHEREMAP);
    setRs(D3DRS_LIGHTING, FALSE);
    setRs(D3DRS_CULLMODE, D3DCULL_NONE);
    const D3DMATRIX projection = perspectiveFov(3.14159265f / 4.0f, 640.0f / 480.0f, 1.0f, 100.0f);
    ASSERT_EQ(device->SetTransform(D3DTS_PROJECTION, &projection), D3D_OK);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL), D3D_OK);
    const float nx = 0.5f / std::sqrt(1.25f), nz = -1.0f / std::sqrt(1.25f);
    const XyzNormalVertex quad[] = {{-0.2f, -0.2f, 5, nx, 0, nz}, {-0.2f, 0.2f, 5, nx, 0, nz}, {0.2f, -0.2f, 5, nx, 0, nz},
                                    {0.2f, 0.2f, 5, nx, 0, nz}};
    clear(0xFF0000FF);
    drawStrip(quad);
    EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0xF20000, 3));
    device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(DocumentedRules, SpotConeAndPointAttenuation)
{
    struct Case {
        const char* name;
        D3DLIGHTTYPE type;
        float a0, a1;
        std::uint32_t corner, edge, centre;
    };
    // Spot: theta π/12, phi π/3, falloff 1 → edge rho 0.894 gives (0.894 - 0.866)/(0.991 - 0.866) ·
    // N·L 0.894 = 0.2 → 0x33; corners lie outside the cone. Point: 1/d attenuation times N·L = 1/d.
    const Case cases[] = {
        {"spot light cone", D3DLIGHT_SPOT, 1.0f, 0.0f, 0x000000, 0x333333, 0xFFFFFF},
        {"point light, linear attenuation", D3DLIGHT_POINT, 0.0f, 1.0f, 0xAAAAAA, 0xCCCCCC, 0xFFFFFF},
    };
    D3DMATERIAL9 material{};
    material.Diffuse = {1, 1, 1, 1};
    ASSERT_EQ(device->SetMaterial(&material), D3D_OK);
    setRs(D3DRS_ZENABLE, D3DZB_FALSE);
    for (const Case& c : cases) {
        D3DLIGHT9 light{};
        light.Type = c.type;
        light.Diffuse = {1, 1, 1, 1};
        light.Direction = {0, 0, 1};
        light.Range = 100;
        light.Attenuation0 = c.a0;
        light.Attenuation1 = c.a1;
        light.Falloff = 1;
        light.Theta = 3.14159265f / 12;
        light.Phi = 3.14159265f / 3;
        ASSERT_EQ(device->SetLight(0, &light), D3D_OK);
        ASSERT_EQ(device->LightEnable(0, TRUE), D3D_OK);
        clear(0xFF000000);
        drawGrid();
        const Image image = readTarget();
        EXPECT_TRUE(colorNear(image.rgb(160, 120), c.corner, 1)) << c.name << " corner";
        EXPECT_TRUE(colorNear(image.rgb(480, 240), c.edge, 1)) << c.name << " edge";
        EXPECT_TRUE(colorNear(image.rgb(320, 360), c.edge, 1)) << c.name << " edge";
        EXPECT_TRUE(colorNear(image.rgb(320, 240), c.centre, 1)) << c.name << " centre";
    }
}

// A world matrix scaled by 2 shortens normals to 1/2; only NORMALIZENORMALS restores them.
TEST_F(DocumentedRules, NormalsAreNotRenormalisedUnlessAsked)
{
    D3DMATERIAL9 material{};
    material.Diffuse = {1, 1, 1, 1};
    ASSERT_EQ(device->SetMaterial(&material), D3D_OK);
    ASSERT_EQ(device->LightEnable(0, TRUE), D3D_OK);
    const D3DMATRIX world = matrixRows({2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1});
    ASSERT_EQ(device->SetTransform(D3DTS_WORLD, &world), D3D_OK);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_NORMAL), D3D_OK);
    const XyzNormalVertex quad[] = {{-0.5f, -0.5f, 0.05f, 0, 0, -1}, {-0.5f, 0.5f, 0.05f, 0, 0, -1},
                                    {0.5f, -0.5f, 0.05f, 0, 0, -1}, {0.5f, 0.5f, 0.05f, 0, 0, -1}};
    clear(0xFF000000);
    drawStrip(quad);
    EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0x808080, 1));
    setRs(D3DRS_NORMALIZENORMALS, TRUE);
    drawStrip(quad);
    EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0xFFFFFF, 0));
}

// With highlights off the SPECULAR argument reads the vertex's own specular colour; with them
// on (and no light) it reads the lit specular, which is black.
TEST_F(DocumentedRules, SpecularArgumentFollowsSpecularEnable)
{
    struct XyzSpecularVertex {
        float x, y, z;
        D3DCOLOR specular;
    };
    const XyzSpecularVertex quad[] = {{-1, -1, 0.1f, 0xFF00FF00}, {-1, 1, 0.1f, 0xFF00FF00}, {1, -1, 0.1f, 0xFF00FF00},
                                      {1, 1, 0.1f, 0xFF00FF00}};
    setTss(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    setTss(0, D3DTSS_COLORARG1, D3DTA_SPECULAR);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_SPECULAR), D3D_OK);
    clear(0xFFFF0000);
    drawStrip(quad);
    EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0x00FF00, 0)) << "lighting on, highlights off";
    setRs(D3DRS_SPECULARENABLE, TRUE);
    clear(0xFFFF0000);
    drawStrip(quad);
    EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0x000000, 0)) << "lighting on, highlights on, no light";
}

// translate(-0.5) · scale(su, sv) · translate(0.5 - ou, 0.5 + ov) with its translation in the
// third row: the centre (0.5, 0.5) moves to (0.5 - ou, 0.5 + ov).
TEST_F(DocumentedRules, TextureMatrixScaleAndOffsetWithCount2)
{
    const UINT size = 256;
    std::vector<std::uint32_t> texels(size * size);
    for (UINT y = 0; y < size; ++y)
        for (UINT x = 0; x < size; ++x) texels[y * size + x] = 0xFF000000u | y << 16 | x << 8;
    IDirect3DTexture9* texture = makeTexture(size, size, D3DFMT_X8R8G8B8, texels);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    setTss(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    setTss(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
    setRs(D3DRS_LIGHTING, FALSE);
    const float su = 3.0f, sv = 0.5f, ou = 0.25f, ov = 0.25f;
    const D3DMATRIX matrix =
        matrixRows({su, 0, 0, 0, 0, sv, 0, 0, 0.5f * (1 - su) - ou, 0.5f * (1 - sv) + ov, 1, 0, 0, 0, 0, 1});
    ASSERT_EQ(device->SetTransform(D3DTS_TEXTURE0, &matrix), D3D_OK);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1), D3D_OK);
    const XyzTexVertex quad[] = {{-1, -1, 0.1f, 0.5f, 0.5f}, {-1, 1, 0.1f, 0.5f, 0.5f}, {1, -1, 0.1f, 0.5f, 0.5f},
                                 {1, 1, 0.1f, 0.5f, 0.5f}};
    clear(0xFF000000);
    drawStrip(quad);
    EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0xC04000, 0));
    device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(DocumentedRules, PretransformedVerticesUseScreenPixels)
{
    struct RhwVertex {
        float x, y, z, rhw;
        D3DCOLOR diffuse;
    };
    // Pixel centres are integers: a quad from 9.5 to 19.5 covers pixels 10..19.
    const RhwVertex quad[] = {{9.5f, 9.5f, 0.5f, 1, 0xFF00FF00}, {19.5f, 9.5f, 0.5f, 1, 0xFF00FF00},
                              {9.5f, 19.5f, 0.5f, 1, 0xFF00FF00}, {19.5f, 19.5f, 0.5f, 1, 0xFF00FF00}};
    setRs(D3DRS_CULLMODE, D3DCULL_NONE);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE), D3D_OK);
    clear(0xFF000000);
    drawStrip(quad);
    const Image image = readTarget();
    for (int i = 8; i <= 21; ++i) {
        const bool inside = i >= 10 && i <= 19;
        EXPECT_TRUE(colorNear(image.rgb(i, 15), inside ? 0x00FF00 : 0, 0)) << "column " << i;
        EXPECT_TRUE(colorNear(image.rgb(15, i), inside ? 0x00FF00 : 0, 0)) << "row " << i;
    }
}

TEST_F(DocumentedRules, ScissorAndFlatShading)
{
    clear(0xFF000000);
    setRs(D3DRS_LIGHTING, FALSE);
    setRs(D3DRS_SCISSORTESTENABLE, TRUE);
    const RECT scissor{100, 50, 200, 150};
    ASSERT_EQ(device->SetScissorRect(&scissor), D3D_OK);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    drawStrip(kRedQuad);
    Image image = readTarget();
    EXPECT_TRUE(colorNear(image.rgb(100, 50), 0xFF0000, 0));
    EXPECT_TRUE(colorNear(image.rgb(199, 149), 0xFF0000, 0));
    EXPECT_TRUE(colorNear(image.rgb(99, 100), 0x000000, 0));
    EXPECT_TRUE(colorNear(image.rgb(150, 150), 0x000000, 0));

    setRs(D3DRS_SCISSORTESTENABLE, FALSE);
    setRs(D3DRS_SHADEMODE, D3DSHADE_FLAT);
    setRs(D3DRS_CULLMODE, D3DCULL_NONE);
    const XyzDiffuseVertex triangle[] = {{-1, -1, 0.1f, 0xFF0000FF}, {-1, 1, 0.1f, 0xFF00FF00}, {1, -1, 0.1f, 0xFFFF0000}};
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof triangle[0]), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    image = readTarget();
    EXPECT_TRUE(colorNear(image.rgb(20, 20), 0x0000FF, 0)) << "the first vertex colours the whole triangle";
    EXPECT_TRUE(colorNear(image.rgb(300, 400), 0x0000FF, 0));
}
