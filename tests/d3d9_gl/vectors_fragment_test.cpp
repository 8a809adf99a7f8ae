// Conformance vectors for per-fragment work and targets: alpha test, depth writes, clears with
// viewport and rectangles, SetRenderTarget resetting viewport and scissor, culling.
#include "gl_test_support.h"

namespace {

const XyzDiffuseVertex kGreenHalfAlpha[] = {{-1, -1, 0.1f, 0x8000FF00}, {-1, 1, 0.1f, 0x8000FF00},
                                            {1, -1, 0.1f, 0x8000FF00}, {1, 1, 0.1f, 0x8000FF00}};

struct AlphaTestCase {
    D3DCMPFUNC func;
    bool passBelow, passEqual, passAbove;  // pixel alpha 0x80 against 0x90 / 0x80 / 0x70
};

} // namespace

using FragmentVectors = GlDeviceTest;

TEST_F(FragmentVectors, AlphaTest)
{
    const AlphaTestCase cases[] = {
        {D3DCMP_NEVER, false, false, false},       {D3DCMP_LESS, true, false, false},
        {D3DCMP_EQUAL, false, true, false},        {D3DCMP_LESSEQUAL, true, true, false},
        {D3DCMP_GREATER, false, false, true},      {D3DCMP_NOTEQUAL, true, false, true},
        {D3DCMP_GREATEREQUAL, false, true, true},  {D3DCMP_ALWAYS, true, true, true},
    };
    setRs(D3DRS_LIGHTING, FALSE);
    setRs(D3DRS_ALPHATESTENABLE, TRUE);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    for (const AlphaTestCase& c : cases) {
        setRs(D3DRS_ALPHAFUNC, c.func);
        const std::pair<DWORD, bool> references[] = {{0x90, c.passBelow}, {0x80, c.passEqual}, {0x70, c.passAbove}};
        for (const auto& [reference, pass] : references) {
            setRs(D3DRS_ALPHAREF, reference);
            ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFF0000, 1.0f, 0), D3D_OK);
            drawStrip(kGreenHalfAlpha);
            EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), pass ? 0x00FF00 : 0xFF0000, 1))
                << "ALPHAFUNC " << c.func << " against 0x" << std::hex << reference;
        }
    }
}

// ZWRITEENABLE writes only while ZENABLE is on.
TEST_F(FragmentVectors, DepthWritesNeedTheDepthTest)
{
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
    setRs(D3DRS_LIGHTING, FALSE);
    setRs(D3DRS_ZENABLE, D3DZB_FALSE);
    setRs(D3DRS_ZWRITEENABLE, TRUE);
    setRs(D3DRS_ZFUNC, D3DCMP_LESSEQUAL);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    const XyzDiffuseVertex red[] = {{-1, -1, 0.1f, 0xFFFF0000}, {-1, 1, 0.1f, 0xFFFF0000}, {1, -1, 0.1f, 0xFFFF0000},
                                    {1, 1, 0.1f, 0xFFFF0000}};
    const XyzDiffuseVertex green[] = {{-1, -1, 0.9f, 0xFF00FF00}, {-1, 1, 0.9f, 0xFF00FF00}, {1, -1, 0.9f, 0xFF00FF00},
                                      {1, 1, 0.9f, 0xFF00FF00}};
    drawStrip(red);
    setRs(D3DRS_ZENABLE, D3DZB_TRUE);
    drawStrip(green);
    EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0x00FF00, 1));
}

TEST_F(FragmentVectors, ClearFollowsTheViewportAndRectangles)
{
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
    const D3DVIEWPORT9 small{160, 120, 160, 120, 0, 1};
    ASSERT_EQ(device->SetViewport(&small), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), D3D_OK);
    const D3DVIEWPORT9 lowerRight{320, 240, 320, 240, 0, 1};
    ASSERT_EQ(device->SetViewport(&lowerRight), D3D_OK);
    const D3DRECT rect{160, 120, 480, 360};
    ASSERT_EQ(device->Clear(1, &rect, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
    const D3DVIEWPORT9 full{0, 0, 640, 480, 0, 1};
    ASSERT_EQ(device->SetViewport(&full), D3D_OK);

    const Image image = readTarget();
    const std::pair<int, int> white[] = {{158, 118}, {162, 118}, {158, 122}, {322, 238},
                                         {318, 242}, {482, 358}, {478, 362}, {482, 362}};
    for (auto [x, y] : white) EXPECT_TRUE(colorNear(image.rgb(x, y), 0xFFFFFF, 0)) << x << ", " << y;
    for (auto [x, y] : {std::pair{162, 122}, std::pair{318, 238}})
        EXPECT_TRUE(colorNear(image.rgb(x, y), 0x0000FF, 0)) << x << ", " << y;
    for (auto [x, y] : {std::pair{322, 242}, std::pair{478, 358}})
        EXPECT_TRUE(colorNear(image.rgb(x, y), 0x00FF00, 0)) << x << ", " << y;
}

TEST_F(FragmentVectors, ClearIgnoresTheColourMaskAndCountsRectangles)
{
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
    setRs(D3DRS_COLORWRITEENABLE, 0x1);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
    EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0xFFFFFF, 0)) << "colour mask restricted the clear";
    setRs(D3DRS_COLORWRITEENABLE, 0xF);

    const D3DRECT rect{0, 0, 640, 480};
    ASSERT_EQ(device->Clear(0, &rect, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), D3D_OK);
    EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0xFFFFFF, 1)) << "count 0 with rectangles cleared";
    ASSERT_EQ(device->Clear(1, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
    EXPECT_TRUE(colorNear(readTarget().rgb(320, 240), 0x00FF00, 1)) << "count 1 without rectangles did not clear";
}

TEST_F(FragmentVectors, SetRenderTargetResetsViewportAndScissor)
{
    D3DVIEWPORT9 viewport{};
    ASSERT_EQ(device->GetViewport(&viewport), D3D_OK);
    EXPECT_EQ(viewport.X, 0u);
    EXPECT_EQ(viewport.Width, 640u);
    EXPECT_EQ(viewport.Height, 480u);
    EXPECT_EQ(viewport.MaxZ, 1.0f);

    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(128, 128, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr),
              D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &surface), D3D_OK);
    auto expectFullTarget = [&](const char* when) {
        D3DVIEWPORT9 v{};
        RECT scissor{};
        ASSERT_EQ(device->GetViewport(&v), D3D_OK);
        ASSERT_EQ(device->GetScissorRect(&scissor), D3D_OK);
        EXPECT_EQ(v.X, 0u) << when;
        EXPECT_EQ(v.Y, 0u) << when;
        EXPECT_EQ(v.Width, 128u) << when;
        EXPECT_EQ(v.Height, 128u) << when;
        EXPECT_EQ(v.MinZ, 0.0f) << when;
        EXPECT_EQ(v.MaxZ, 1.0f) << when;
        EXPECT_EQ(scissor.left, 0) << when;
        EXPECT_EQ(scissor.top, 0) << when;
        EXPECT_EQ(scissor.right, 128) << when;
        EXPECT_EQ(scissor.bottom, 128) << when;
    };
    ASSERT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    expectFullTarget("after the first SetRenderTarget");
    const D3DVIEWPORT9 odd{10, 20, 30, 40, 0.25f, 0.75f};
    ASSERT_EQ(device->SetViewport(&odd), D3D_OK);
    const RECT scissor{50, 60, 70, 80};
    ASSERT_EQ(device->SetScissorRect(&scissor), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    expectFullTarget("after setting the same surface again");

    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, back), D3D_OK);
    back->Release();
    surface->Release();
    texture->Release();
}

TEST_F(FragmentVectors, CullModes)
{
    struct Case {
        const char* name;
        D3DCULL cull;
        XyzVertex triangle[3];
        int x, y;
        bool drawn;
    };
    const Case cases[] = {
        {"counter-clockwise under CCW", D3DCULL_CCW, {{-1, 0, 0.1f}, {0, 0, 0.1f}, {0, 1, 0.1f}}, 160, 180, false},
        {"clockwise under CCW", D3DCULL_CCW, {{-1, 0, 0.1f}, {-1, 1, 0.1f}, {0, 1, 0.1f}}, 160, 60, true},
        {"clockwise under CW", D3DCULL_CW, {{0, 0, 0.1f}, {1, 0, 0.1f}, {1, 1, 0.1f}}, 480, 180, true},
        {"counter-clockwise under CW", D3DCULL_CW, {{0, 0, 0.1f}, {0, 1, 0.1f}, {1, 1, 0.1f}}, 480, 60, false},
    };
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
    setRs(D3DRS_LIGHTING, FALSE);
    setRs(D3DRS_ZENABLE, D3DZB_FALSE);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    for (const Case& c : cases) {
        setRs(D3DRS_CULLMODE, c.cull);
        ASSERT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, c.triangle, sizeof(XyzVertex)), D3D_OK);
    }
    ASSERT_EQ(device->EndScene(), D3D_OK);
    const Image image = readTarget();
    for (const Case& c : cases)
        EXPECT_TRUE(colorNear(image.rgb(c.x, c.y), c.drawn ? 0xFFFFFF : 0x000000, 0)) << c.name;
}
