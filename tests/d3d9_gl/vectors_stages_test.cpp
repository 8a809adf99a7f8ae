// Conformance vectors for the texture stage cascade: operations and their arguments, clamping
// between stages, default diffuse and specular, missing vertex colour, texture transforms and
// a missing texture while rendering into a texture.
#include "gl_test_support.h"

namespace {

const XyzDiffuseTexVertex kFullScreen8[] = {
    {-1, -1, 0.1f, 0x55FF0000, 0, 1}, {-1, 1, 0.1f, 0x55FF0000, 0, 0}, {1, -1, 0.1f, 0x55FF0000, 1, 1}, {1, 1, 0.1f, 0x55FF0000, 1, 0}};

struct OpCase {
    D3DTEXTUREOP op;
    std::uint32_t expected;
};

} // namespace

using StageVectors = GlDeviceTest;

// ARG0 = diffuse red (alpha 0x55), ARG1 = texture green (alpha 0x99), ARG2 = factor 0x33 grey.
TEST_F(StageVectors, StageOperations)
{
    const OpCase cases[] = {
        {D3DTOP_SELECTARG1, 0x00FF00}, {D3DTOP_SELECTARG2, 0x333333}, {D3DTOP_MODULATE, 0x003300},
        {D3DTOP_ADD, 0x33FF33},        {D3DTOP_ADDSMOOTH, 0x33FF33},  {D3DTOP_SUBTRACT, 0x00CC00},
        {D3DTOP_MULTIPLYADD, 0xFF3300}, {D3DTOP_LERP, 0x003333},
    };
    IDirect3DTexture9* texture = makeTexture(1, 1, D3DFMT_A8R8G8B8, {0x9900FF00});
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    setRs(D3DRS_LIGHTING, FALSE);
    setRs(D3DRS_TEXTUREFACTOR, 0xDD333333);
    setTss(0, D3DTSS_COLORARG0, D3DTA_DIFFUSE);
    setTss(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    setTss(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    setTss(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1), D3D_OK);
    for (const OpCase& c : cases) {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
        setTss(0, D3DTSS_COLOROP, c.op);
        drawStrip(kFullScreen8);
        EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), c.expected, 3)) << "COLOROP " << c.op;
    }
    device->SetTexture(0, nullptr);
    texture->Release();
}

// Every stage clamps its result: 1 + 1 survives only as 1.
TEST_F(StageVectors, ClampingBetweenStages)
{
    setRs(D3DRS_LIGHTING, FALSE);
    setRs(D3DRS_TEXTUREFACTOR, 0x80808080);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    const XyzDiffuseVertex quad[] = {{-1, -1, 0.1f, 0xFFFFFFFF}, {-1, 1, 0.1f, 0xFFFFFFFF}, {1, -1, 0.1f, 0xFFFFFFFF},
                                     {1, 1, 0.1f, 0xFFFFFFFF}};

    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
    setTss(0, D3DTSS_COLOROP, D3DTOP_ADD);
    setTss(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    setTss(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    setTss(1, D3DTSS_COLOROP, D3DTOP_SUBTRACT);
    setTss(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
    setTss(1, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    drawStrip(quad);
    EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0x808080, 1)) << "ADD then SUBTRACT";

    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
    IDirect3DTexture9* texture = makeTexture(1, 1, D3DFMT_A8R8G8B8, {0x00000000});
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    setTss(0, D3DTSS_COLOROP, D3DTOP_SUBTRACT);
    setTss(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    setTss(0, D3DTSS_COLORARG2, D3DTA_TFACTOR);
    setTss(1, D3DTSS_COLOROP, D3DTOP_ADD);
    setTss(1, D3DTSS_COLORARG1, D3DTA_CURRENT);
    setTss(1, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    drawStrip(quad);
    EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0xFFFFFF, 1)) << "SUBTRACT then ADD";
    device->SetTexture(0, nullptr);
    texture->Release();
}

// Without vertex colours the cascade sees white diffuse and black specular.
TEST_F(StageVectors, DefaultDiffuseAndSpecularInTheCascade)
{
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
    setRs(D3DRS_LIGHTING, FALSE);
    setRs(D3DRS_CULLMODE, D3DCULL_NONE);
    setRs(D3DRS_TEXTUREFACTOR, 0xFF404040);
    setTss(0, D3DTSS_COLOROP, D3DTOP_ADD);
    setTss(0, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    setTss(0, D3DTSS_COLORARG2, D3DTA_SPECULAR);
    setTss(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    setTss(1, D3DTSS_COLORARG1, D3DTA_TFACTOR);
    setTss(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ), D3D_OK);
    const XyzVertex quad[] = {{-1, -1, 0.1f}, {-1, 1, 0.1f}, {1, -1, 0.1f}, {1, 1, 0.1f}};
    drawStrip(quad);
    EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0x404040, 1));
}

TEST_F(StageVectors, MissingVertexColourIsWhiteAndSpecularEnableAddsNothingWithoutIt)
{
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0), D3D_OK);
    setRs(D3DRS_LIGHTING, FALSE);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ), D3D_OK);
    const XyzVertex lowerLeft[] = {{-1, -1, 0.1f}, {-1, 0, 0.1f}, {0, -1, 0.1f}, {0, 0, 0.1f}};
    drawStrip(lowerLeft);
    setRs(D3DRS_SPECULARENABLE, TRUE);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    const XyzDiffuseVertex upperRight[] = {{0, 0, 0.1f, 0xFF806040}, {0, 1, 0.1f, 0xFF806040}, {1, 0, 0.1f, 0xFF806040},
                                           {1, 1, 0.1f, 0xFF806040}};
    drawStrip(upperRight);
    const Image image = readTarget();
    EXPECT_TRUE(colorNear(image.rgb(160, 360), 0xFFFFFF, 0));
    EXPECT_TRUE(colorNear(image.rgb(480, 120), 0x806040, 0));
    EXPECT_TRUE(colorNear(image.rgb(480, 360), 0x0000FF, 0));
}

// The stage matrix only acts when the flags ask for it; 2-D coordinates extend to (u, v, 1, 0).
TEST_F(StageVectors, TextureTransformFlags)
{
    const UINT size = 256;
    std::vector<std::uint32_t> texels(size * size);
    for (UINT y = 0; y < size; ++y)
        for (UINT x = 0; x < size; ++x)
            texels[y * size + x] = 0xFF000000u | (y * 255 / (size - 1)) << 16 | (x * 255 / (size - 1)) << 8;
    IDirect3DTexture9* texture = makeTexture(size, size, D3DFMT_X8R8G8B8, texels);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    for (D3DSAMPLERSTATETYPE type : {D3DSAMP_MAGFILTER, D3DSAMP_MINFILTER})
        ASSERT_EQ(device->SetSamplerState(0, type, D3DTEXF_POINT), D3D_OK);
    ASSERT_EQ(device->SetSamplerState(0, D3DSAMP_MIPFILTER, D3DTEXF_NONE), D3D_OK);
    ASSERT_EQ(device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP), D3D_OK);
    ASSERT_EQ(device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP), D3D_OK);
    setTss(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    setTss(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    setRs(D3DRS_LIGHTING, FALSE);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0), D3D_OK);

    struct Case {
        const char* name;
        float x0, y0, u;
        D3DMATRIX matrix;
        DWORD flags;
        int readX, readY;
        std::uint32_t expected;
        int tolerance;
    };
    const D3DMATRIX zero{};
    const Case cases[] = {
        {"zero matrix, transform disabled", -1, -1, 1.0f, zero, D3DTTFF_DISABLE, 160, 360, 0xFFFF00, 1},
        {"zero matrix, COUNT2", -1, 0, 1.0f, zero, D3DTTFF_COUNT2, 160, 120, 0x000000, 0},
        {"third row as translation, COUNT4", 0, 0, 0.5f,
         matrixRows({0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0}), D3DTTFF_COUNT4, 480, 120, 0x00FF00, 1},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(device->SetTransform(D3DTS_TEXTURE0, &c.matrix), D3D_OK);
        setTss(0, D3DTSS_TEXTURETRANSFORMFLAGS, c.flags);
        const float x1 = c.x0 + 1, y1 = c.y0 + 1;
        const XyzTexVertex quad[] = {{c.x0, c.y0, 0.1f, c.u, c.u}, {c.x0, y1, 0.1f, c.u, c.u}, {x1, c.y0, 0.1f, c.u, c.u},
                                     {x1, y1, 0.1f, c.u, c.u}};
        drawStrip(quad);
    }
    const Image image = readTarget();
    for (const Case& c : cases) EXPECT_TRUE(colorNear(image.rgb(c.readX, c.readY), c.expected, c.tolerance)) << c.name;
    device->SetTexture(0, nullptr);
    texture->Release();
}

// A texture-less SELECTARG1(TEXTURE) passes the diffuse colour; the render-target texture is
// then sampled upright on the back buffer.
TEST_F(StageVectors, RenderingIntoATextureWithoutATexture)
{
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(128, 128, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr),
              D3D_OK);
    IDirect3DSurface9* backBuffer = nullptr;
    IDirect3DSurface9* targetSurface = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), D3D_OK);
    ASSERT_EQ(target->GetSurfaceLevel(0, &targetSurface), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFF0000, 1.0f, 0), D3D_OK);
    setRs(D3DRS_LIGHTING, FALSE);
    setTss(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    setTss(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1), D3D_OK);
    const XyzTexVertex quad[] = {{-0.5f, -0.5f, 0.1f, 0, 0}, {-0.5f, 0.5f, 0.1f, 0, 1}, {0.5f, -0.5f, 0.1f, 1, 0},
                                 {0.5f, 0.5f, 0.1f, 1, 1}};

    ASSERT_EQ(device->SetRenderTarget(0, targetSurface), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFF00FF, 1.0f, 0), D3D_OK);
    drawStrip(quad);
    ASSERT_EQ(device->SetRenderTarget(0, backBuffer), D3D_OK);
    ASSERT_EQ(device->SetTexture(0, target), D3D_OK);
    drawStrip(quad);
    const Image image = readTarget();
    EXPECT_TRUE(colorNear(image.rgb(320, 240), 0xFFFFFF, 0));
    EXPECT_TRUE(colorNear(image.rgb(170, 240), 0xFF00FF, 0));
    EXPECT_TRUE(colorNear(image.rgb(10, 10), 0xFF0000, 0));
    EXPECT_TRUE(colorNear(image.rgb(10, 470), 0xFF0000, 0));
    device->SetTexture(0, nullptr);
    targetSurface->Release();
    backBuffer->Release();
    target->Release();
}
