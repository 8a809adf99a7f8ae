// Conformance vectors for points: sizes and their clamps, sprite texture coordinates on two
// stages, and the distance-scaled size with only the C term.
#include "gl_test_support.h"

namespace {

// Projection placing vertex (x, y) on pixel (x, y) of a 640 × 480 target.
D3DMATRIX pixelProjection()
{
    return matrixRows({2.0f / 640, 0, 0, 0, 0, -2.0f / 480, 0, 0, 0, 0, 1, 0, -1, 1, 0, 1});
}

struct SizeCase {
    float size;
    float maximum;   // 0: leave the default
    float minimum;   // 0: leave the default
    int x;
    int radius;      // pixels at this distance along both axes are lit, one further are not
};

} // namespace

using PointVectors = GlDeviceTest;

TEST_F(PointVectors, SizesAndClamps)
{
    const SizeCase cases[] = {
        {15.0f, 0, 0, 64, 7},   {31.0f, 0, 0, 128, 15},  {30.75f, 0, 0, 192, 15}, {63.0f, 0, 0, 256, 31},
        {62.75f, 0, 0, 384, 31}, {1.0f, 0, 0, 320, 0},   {15.0f, 1.0f, 0, 448, 0}, {1.0f, 0, 15.0f, 512, 7},
    };
    const D3DMATRIX projection = pixelProjection();
    ASSERT_EQ(device->SetTransform(D3DTS_PROJECTION, &projection), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0), D3D_OK);
    setRs(D3DRS_LIGHTING, FALSE);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    for (const SizeCase& c : cases) {
        setRs(D3DRS_POINTSIZE, d3dFloatBits(c.size));
        setRs(D3DRS_POINTSIZE_MAX, d3dFloatBits(c.maximum ? c.maximum : 64.0f));
        setRs(D3DRS_POINTSIZE_MIN, d3dFloatBits(c.minimum ? c.minimum : 1.0f));
        const XyzVertex point{static_cast<float>(c.x), 64.0f, 0.0f};
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point), D3D_OK);
    }
    ASSERT_EQ(device->EndScene(), D3D_OK);
    const Image image = readTarget();
    for (const SizeCase& c : cases) {
        const int r = c.radius;
        for (auto [dx, dy] : {std::pair{r, 0}, std::pair{-r, 0}, std::pair{0, r}, std::pair{0, -r}})
            EXPECT_TRUE(colorNear(image.rgb(c.x + dx, 64 + dy), 0xFFFFFF, 1)) << "size " << c.size << " at " << c.x;
        for (auto [dx, dy] : {std::pair{r + 1, 0}, std::pair{-r - 1, 0}, std::pair{0, r + 1}, std::pair{0, -r - 1}})
            EXPECT_TRUE(colorNear(image.rgb(c.x + dx, 64 + dy), 0x0000FF, 1)) << "size " << c.size << " at " << c.x;
    }
}

// Sprite coordinates run from (0, 0) at the top-left corner; both stages receive them.
TEST_F(PointVectors, SpriteTextureCoordinates)
{
    const std::uint32_t red = 0xFFFF0000, black = 0xFF000000, green = 0xFF00FF00;
    IDirect3DTexture9* first = makeTexture(2, 2, D3DFMT_A8R8G8B8, {red, red, black, black});
    IDirect3DTexture9* second = makeTexture(2, 2, D3DFMT_A8R8G8B8, {black, green, black, green});
    const D3DMATRIX projection = pixelProjection();
    ASSERT_EQ(device->SetTransform(D3DTS_PROJECTION, &projection), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0), D3D_OK);
    setRs(D3DRS_LIGHTING, FALSE);
    ASSERT_EQ(device->SetTexture(0, first), D3D_OK);
    ASSERT_EQ(device->SetTexture(1, second), D3D_OK);
    setTss(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    setTss(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    setTss(1, D3DTSS_COLOROP, D3DTOP_ADD);
    setTss(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    setTss(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    for (DWORD stage : {0u, 1u}) {
        ASSERT_EQ(device->SetSamplerState(stage, D3DSAMP_MAGFILTER, D3DTEXF_POINT), D3D_OK);
        ASSERT_EQ(device->SetSamplerState(stage, D3DSAMP_MINFILTER, D3DTEXF_POINT), D3D_OK);
    }
    setRs(D3DRS_POINTSPRITEENABLE, TRUE);
    setRs(D3DRS_POINTSIZE, d3dFloatBits(32.0f));
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ), D3D_OK);
    const XyzVertex point{64.0f, 64.0f, 0.0f};
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    const Image image = readTarget();
    EXPECT_TRUE(colorNear(image.rgb(60, 60), 0xFF0000, 0));
    EXPECT_TRUE(colorNear(image.rgb(68, 60), 0xFFFF00, 0));
    EXPECT_TRUE(colorNear(image.rgb(60, 68), 0x000000, 0));
    EXPECT_TRUE(colorNear(image.rgb(68, 68), 0x00FF00, 0));
    device->SetTexture(0, nullptr);
    device->SetTexture(1, nullptr);
    first->Release();
    second->Release();
}

// S = Vh · Si / De with A = B = 0, C = 1: a size-10 point 40 units away on a 512-pixel-high
// target covers exactly 128 pixels, 192..319 on both axes.
TEST_F(PointVectors, DistanceScaledSpriteWithOnlyC)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(512, 512, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr),
              D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &surface), D3D_OK);
    IDirect3DSurface9* depth = nullptr;
    ASSERT_EQ(device->CreateDepthStencilSurface(512, 512, D3DFMT_D24S8, D3DMULTISAMPLE_NONE, 0, TRUE, &depth, nullptr), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    ASSERT_EQ(device->SetDepthStencilSurface(depth), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
    const D3DMATRIX projection = perspectiveFov(3.14159265f / 2.0f, 1.0f, 1.0f, 100.0f);
    ASSERT_EQ(device->SetTransform(D3DTS_PROJECTION, &projection), D3D_OK);
    setRs(D3DRS_LIGHTING, FALSE);
    setRs(D3DRS_POINTSCALEENABLE, TRUE);
    setRs(D3DRS_POINTSCALE_A, d3dFloatBits(0.0f));
    setRs(D3DRS_POINTSCALE_B, d3dFloatBits(0.0f));
    setRs(D3DRS_POINTSCALE_C, d3dFloatBits(1.0f));
    setRs(D3DRS_POINTSIZE, d3dFloatBits(10.0f));
    setRs(D3DRS_POINTSIZE_MIN, d3dFloatBits(0.0f));
    setRs(D3DRS_POINTSIZE_MAX, d3dFloatBits(1024.0f));
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ), D3D_OK);
    const XyzVertex point{0.0f, 0.0f, 40.0f};
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &point, sizeof point), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    const Image image = readTarget();
    for (int i = 0; i < 512; ++i) {
        const bool inside = i >= 192 && i <= 319;
        ASSERT_TRUE(colorNear(image.rgb(i, 256), inside ? 0xFFFFFF : 0x000000, 0)) << "column " << i;
        ASSERT_TRUE(colorNear(image.rgb(256, i), inside ? 0xFFFFFF : 0x000000, 0)) << "row " << i;
    }
    surface->Release();
    depth->Release();
    texture->Release();
}
