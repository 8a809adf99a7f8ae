// Resources of the OpenGL device: texture formats as the stages see them, LockRect pitch and
// rectangles, mip levels and their surfaces, render-target chains, system-memory surfaces,
// vertex and index buffers, and the reference counts that tie them together.
#include "gl_test_support.h"

#include <cstring>

namespace {

// A full-screen quad sampling stage 0 with SELECTARG1(TEXTURE) for colour and alpha.
void drawTexturedQuad(IDirect3DDevice9* device, IDirect3DBaseTexture9* texture)
{
    device->SetTexture(0, texture);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetSamplerState(0, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP);
    device->SetSamplerState(0, D3DSAMP_ADDRESSV, D3DTADDRESS_CLAMP);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    const XyzTexVertex quad[] = {{-1, -1, 0.1f, 0, 1}, {-1, 1, 0.1f, 0, 0}, {1, -1, 0.1f, 1, 1}, {1, 1, 0.1f, 1, 0}};
    device->BeginScene();
    device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof quad[0]);
    device->EndScene();
    device->SetTexture(0, nullptr);
}

} // namespace

using TextureFormats = GlDeviceTest;

TEST_F(TextureFormats, EachFormatSamplesWithItsDocumentedChannels)
{
    struct Case {
        const char* name;
        D3DFORMAT format;
        std::uint32_t stored;    // what LockRect receives (L8: the low byte; 16-bit formats: the low word)
        std::uint32_t sampled;   // 0xAARRGGBB as the stage sees it
    };
    const Case cases[] = {
        {"A8R8G8B8 keeps its alpha", D3DFMT_A8R8G8B8, 0x40C08020, 0x40C08020},
        {"X8R8G8B8 reads opaque", D3DFMT_X8R8G8B8, 0x40C08020, 0xFFC08020},
        {"L8 replicates grey, opaque", D3DFMT_L8, 0x5A, 0xFF5A5A5A},
        {"R5G6B5 unpacks green, opaque", D3DFMT_R5G6B5, 0x07E0, 0xFF00FF00},
        {"R5G6B5 unpacks red and blue", D3DFMT_R5G6B5, 0xF81F, 0xFFFF00FF},
        {"A8L8 replicates grey and keeps its alpha", D3DFMT_A8L8, 0x805A, 0x805A5A5A},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0), D3D_OK);
        IDirect3DTexture9* texture = makeTexture(1, 1, c.format, {c.stored});
        drawTexturedQuad(device, texture);
        EXPECT_TRUE(colorNear(readTarget().at(320, 240), c.sampled, 0, true)) << c.name;
        texture->Release();
    }
}

TEST_F(TextureFormats, UnsupportedRequestsAreRefused)
{
    IDirect3DTexture9* texture = nullptr;
    EXPECT_EQ(device->CreateTexture(16, 16, 1, 0, D3DFMT_R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(0, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(16, 16, 6, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_L8, D3DPOOL_DEFAULT, &texture, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);
}

using TextureLocking = GlDeviceTest;

TEST_F(TextureLocking, PitchIsWidthTimesBytesRoundedToFourForEveryLevel)
{
    struct Case {
        D3DFORMAT format;
        UINT width, height;
    };
    const Case cases[] = {{D3DFMT_A8R8G8B8, 13, 7}, {D3DFMT_X8R8G8B8, 64, 64}, {D3DFMT_L8, 13, 5}, {D3DFMT_L8, 3, 3},
                          {D3DFMT_R5G6B5, 13, 7}, {D3DFMT_A8L8, 5, 3}};
    for (const Case& c : cases) {
        IDirect3DTexture9* texture = nullptr;
        ASSERT_EQ(device->CreateTexture(c.width, c.height, 0, 0, c.format, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
        for (UINT level = 0; level < texture->GetLevelCount(); ++level) {
            D3DSURFACE_DESC desc{};
            ASSERT_EQ(texture->GetLevelDesc(level, &desc), D3D_OK);
            D3DLOCKED_RECT locked{};
            ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
            EXPECT_EQ(locked.Pitch, d3dPitch(desc.Width, c.format));
            EXPECT_EQ(locked.Pitch % 4, 0);
            EXPECT_GE(static_cast<UINT>(locked.Pitch), desc.Width * d3dBytesPerPixel(c.format));
            // Writing every byte of every row must stay inside the lock.
            for (UINT y = 0; y < desc.Height; ++y)
                std::memset(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch, 0xAB, locked.Pitch);
            ASSERT_EQ(texture->UnlockRect(level), D3D_OK);
        }
        texture->Release();
    }
}

TEST_F(TextureLocking, LevelsHalveDownToOnePixel)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(256, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    ASSERT_EQ(texture->GetLevelCount(), 9u);
    const UINT widths[] = {256, 128, 64, 32, 16, 8, 4, 2, 1};
    const UINT heights[] = {64, 32, 16, 8, 4, 2, 1, 1, 1};
    for (UINT level = 0; level < 9; ++level) {
        D3DSURFACE_DESC desc{};
        ASSERT_EQ(texture->GetLevelDesc(level, &desc), D3D_OK);
        EXPECT_EQ(desc.Width, widths[level]);
        EXPECT_EQ(desc.Height, heights[level]);
        EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
        EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
        IDirect3DSurface9* surface = nullptr;
        ASSERT_EQ(texture->GetSurfaceLevel(level, &surface), D3D_OK);
        D3DSURFACE_DESC surfaceDesc{};
        ASSERT_EQ(surface->GetDesc(&surfaceDesc), D3D_OK);
        EXPECT_EQ(surfaceDesc.Width, desc.Width);
        surface->Release();
    }
    D3DSURFACE_DESC desc{};
    EXPECT_EQ(texture->GetLevelDesc(9, &desc), D3DERR_INVALIDCALL);
    IDirect3DSurface9* surface = nullptr;
    EXPECT_EQ(texture->GetSurfaceLevel(9, &surface), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(TextureLocking, RectangleLocksPointAtTheirCornerAndUploadOnlyThatPart)
{
    IDirect3DTexture9* texture = makeTexture(4, 4, D3DFMT_A8R8G8B8, std::vector<std::uint32_t>(16, 0xFF000000));
    const RECT rect{2, 1, 4, 3};
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, &rect, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 16);
    const std::uint32_t white = 0xFFFFFFFF;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch + 4 * x, &white, 4);
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);

    // Drawn 1:1 at the top-left corner with the half-pixel offset, texel (x, y) lands on pixel (x, y).
    const D3DMATRIX projection = orthoOffCenter(0, 640, 480, 0, 0, 1);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetTexture(0, texture);
    setRs(D3DRS_LIGHTING, FALSE);
    setRs(D3DRS_CULLMODE, D3DCULL_NONE);
    setTss(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetFVF(D3DFVF_XYZ | D3DFVF_TEX1);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0), D3D_OK);
    const XyzTexVertex quad[] = {{-0.5f, -0.5f, 0.5f, 0, 0}, {3.5f, -0.5f, 0.5f, 1, 0}, {-0.5f, 3.5f, 0.5f, 0, 1},
                                 {3.5f, 3.5f, 0.5f, 1, 1}};
    drawStrip(quad);
    const Image image = readTarget();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool inside = x >= 2 && y >= 1 && y < 3;
            EXPECT_TRUE(colorNear(image.rgb(x, y), inside ? 0xFFFFFF : 0x000000, 0)) << x << ", " << y;
        }
    device->SetTexture(0, nullptr);
    texture->Release();
}

TEST_F(TextureLocking, LocksThatDirect3DRefusesFail)
{
    IDirect3DTexture9* texture = nullptr;
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr), D3D_OK);
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL) << "render targets are not lockable";
    texture->Release();
    ASSERT_EQ(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr), D3D_OK);
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL) << "static default-pool textures are not lockable";
    texture->Release();
    ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr), D3D_OK);
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD), D3D_OK);
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL) << "locked twice";
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL) << "unlocked twice";
    const RECT outside{4, 4, 9, 8};
    EXPECT_EQ(texture->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);
    const RECT empty{4, 4, 4, 8};
    EXPECT_EQ(texture->LockRect(0, &locked, &empty, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture->LockRect(1, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    texture->Release();
}

TEST_F(TextureLocking, DynamicTexturesKeepTheirContentsAcrossLocks)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(2, 1, 1, D3DUSAGE_DYNAMIC, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD), D3D_OK);
    const std::uint32_t texels[2] = {0xFF112233, 0xFF445566};
    std::memcpy(locked.pBits, texels, sizeof texels);
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(std::memcmp(locked.pBits, texels, sizeof texels), 0);
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    texture->Release();
}

using RenderTargets = GlDeviceTest;

// The glow chain: render into 512, shrink into 256, then into 64, then onto the back buffer;
// each step samples the previous target upright and sees the whole of it.
TEST_F(RenderTargets, ChainOf512Then256Then64)
{
    const UINT sizes[] = {512, 256, 64};
    IDirect3DTexture9* targets[3] = {};
    IDirect3DSurface9* surfaces[3] = {};
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(device->CreateTexture(sizes[i], sizes[i], 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT,
                                        &targets[i], nullptr),
                  D3D_OK);
        ASSERT_EQ(targets[i]->GetSurfaceLevel(0, &surfaces[i]), D3D_OK);
    }
    IDirect3DSurface9* backBuffer = nullptr;
    ASSERT_EQ(device->GetRenderTarget(0, &backBuffer), D3D_OK);
    setRs(D3DRS_LIGHTING, FALSE);
    setRs(D3DRS_ZENABLE, D3DZB_FALSE);

    // The first target: its top half red, bottom half green (cleared by rectangles).
    ASSERT_EQ(device->SetRenderTarget(0, surfaces[0]), D3D_OK);
    const D3DRECT top{0, 0, 512, 256}, bottom{0, 256, 512, 512};
    ASSERT_EQ(device->Clear(1, &top, D3DCLEAR_TARGET, 0xFFFF0000, 1.0f, 0), D3D_OK);
    ASSERT_EQ(device->Clear(1, &bottom, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
    for (int i = 1; i < 3; ++i) {
        ASSERT_EQ(device->SetRenderTarget(0, surfaces[i]), D3D_OK);
        D3DVIEWPORT9 viewport{};
        device->GetViewport(&viewport);
        EXPECT_EQ(viewport.Width, sizes[i]);
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), D3D_OK);
        drawTexturedQuad(device, targets[i - 1]);
    }
    ASSERT_EQ(device->SetRenderTarget(0, backBuffer), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), D3D_OK);
    drawTexturedQuad(device, targets[2]);

    const Image small = readSurface(surfaces[2]);
    EXPECT_TRUE(colorNear(small.rgb(0, 0), 0xFF0000, 0));
    EXPECT_TRUE(colorNear(small.rgb(63, 31), 0xFF0000, 0));
    EXPECT_TRUE(colorNear(small.rgb(0, 32), 0x00FF00, 0));
    EXPECT_TRUE(colorNear(small.rgb(63, 63), 0x00FF00, 0));
    const Image image = readTarget();
    EXPECT_TRUE(colorNear(image.rgb(0, 0), 0xFF0000, 0));
    EXPECT_TRUE(colorNear(image.rgb(639, 200), 0xFF0000, 0));
    EXPECT_TRUE(colorNear(image.rgb(0, 479), 0x00FF00, 0));
    EXPECT_TRUE(colorNear(image.rgb(639, 300), 0x00FF00, 0));
    for (int i = 0; i < 3; ++i) {
        surfaces[i]->Release();
        targets[i]->Release();
    }
    backBuffer->Release();
}

TEST_F(RenderTargets, GetRenderTargetDataNeedsAMatchingSystemMemorySurface)
{
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    IDirect3DSurface9* wrongSize = nullptr;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(320, 240, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &wrongSize, nullptr), D3D_OK);
    EXPECT_EQ(device->GetRenderTargetData(back, wrongSize), D3DERR_INVALIDCALL);
    IDirect3DSurface9* wrongFormat = nullptr;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(640, 480, D3DFMT_X8R8G8B8, D3DPOOL_SYSTEMMEM, &wrongFormat, nullptr), D3D_OK);
    EXPECT_EQ(device->GetRenderTargetData(back, wrongFormat), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->GetRenderTargetData(wrongSize, back), D3DERR_INVALIDCALL) << "source must be a render target";
    wrongSize->Release();
    wrongFormat->Release();
    back->Release();
}

TEST_F(RenderTargets, SystemMemorySurfacesLockWithTheSamePitchRule)
{
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(7, 3, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &surface, nullptr), D3D_OK);
    D3DLOCKED_RECT whole{}, part{};
    ASSERT_EQ(surface->LockRect(&whole, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(whole.Pitch, 28);
    ASSERT_EQ(surface->UnlockRect(), D3D_OK);
    const RECT rect{3, 2, 5, 3};
    ASSERT_EQ(surface->LockRect(&part, &rect, 0), D3D_OK);
    EXPECT_EQ(static_cast<std::uint8_t*>(part.pBits) - static_cast<std::uint8_t*>(whole.pBits), 2 * 28 + 3 * 4);
    ASSERT_EQ(surface->UnlockRect(), D3D_OK);
    EXPECT_EQ(surface->Release(), 0u);
}

TEST_F(RenderTargets, ReferencesFollowDirect3DRules)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr), D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &surface), D3D_OK);
    // A level surface counts on its texture.
    EXPECT_EQ(texture->AddRef(), 3u);
    texture->Release();
    ASSERT_EQ(device->SetRenderTarget(0, surface), D3D_OK);
    ASSERT_EQ(device->SetTexture(1, texture), D3D_OK);
    EXPECT_EQ(surface->Release(), 3u) << "the device holds the target and the stage";
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    ASSERT_EQ(device->SetRenderTarget(0, back), D3D_OK);
    back->Release();
    ASSERT_EQ(device->SetTexture(1, nullptr), D3D_OK);
    EXPECT_EQ(texture->Release(), 0u);
    IDirect3DDevice9* owner = nullptr;
    ASSERT_EQ(back->GetDevice(&owner), D3D_OK);
    EXPECT_EQ(owner, device);
    owner->Release();
}

TEST_F(RenderTargets, ResourcesOutliveTheirDeviceSafely)
{
    IDirect3DTexture9* texture = makeTexture(2, 2, D3DFMT_A8R8G8B8, {1, 2, 3, 4});
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(64, D3DUSAGE_WRITEONLY, D3DFVF_XYZ, D3DPOOL_MANAGED, &buffer, nullptr), D3D_OK);
    releaseDevice();
    IDirect3DDevice9* owner = nullptr;
    EXPECT_EQ(texture->GetDevice(&owner), D3DERR_INVALIDCALL);
    EXPECT_EQ(owner, nullptr);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    EXPECT_EQ(texture->Release(), 0u);
    EXPECT_EQ(buffer->Release(), 0u);
}

using Buffers = GlDeviceTest;

TEST_F(Buffers, IndexedDrawsFromManagedBuffersWithBaseVertex)
{
    // Two quads in one buffer; the second is drawn through a base vertex of 4.
    const XyzDiffuseVertex vertices[] = {
        {-1, -1, 0.1f, 0xFFFF0000}, {-1, 0, 0.1f, 0xFFFF0000}, {0, -1, 0.1f, 0xFFFF0000}, {0, 0, 0.1f, 0xFFFF0000},
        {0, 0, 0.1f, 0xFF00FF00},   {0, 1, 0.1f, 0xFF00FF00},  {1, 0, 0.1f, 0xFF00FF00},  {1, 1, 0.1f, 0xFF00FF00},
    };
    const WORD indices[] = {0, 1, 2, 2, 1, 3};
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(sizeof vertices, D3DUSAGE_WRITEONLY, D3DFVF_XYZ | D3DFVF_DIFFUSE, D3DPOOL_MANAGED,
                                         &vb, nullptr),
              D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(sizeof indices, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr),
              D3D_OK);
    void* data = nullptr;
    ASSERT_EQ(vb->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, vertices, sizeof vertices);
    ASSERT_EQ(vb->Unlock(), D3D_OK);
    ASSERT_EQ(ib->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, indices, sizeof indices);
    ASSERT_EQ(ib->Unlock(), D3D_OK);
    D3DVERTEXBUFFER_DESC vbDesc{};
    ASSERT_EQ(vb->GetDesc(&vbDesc), D3D_OK);
    EXPECT_EQ(vbDesc.Size, sizeof vertices);
    EXPECT_EQ(vbDesc.FVF, D3DFVF_XYZ | D3DFVF_DIFFUSE);

    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0), D3D_OK);
    setRs(D3DRS_LIGHTING, FALSE);
    setRs(D3DRS_CULLMODE, D3DCULL_NONE);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    ASSERT_EQ(device->SetStreamSource(0, vb, 0, sizeof(XyzDiffuseVertex)), D3D_OK);
    ASSERT_EQ(device->SetIndices(ib), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 2), D3D_OK);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 4, 0, 4, 0, 2), D3D_OK);
    // Indices reaching past the buffer, or past the vertices, refuse the draw.
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 5, 0, 4, 0, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 3, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 6, 1), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    const Image image = readTarget();
    EXPECT_TRUE(colorNear(image.rgb(160, 360), 0xFF0000, 0));
    EXPECT_TRUE(colorNear(image.rgb(480, 120), 0x00FF00, 0));
    EXPECT_TRUE(colorNear(image.rgb(480, 360), 0x000000, 0));
    device->SetStreamSource(0, nullptr, 0, 0);
    device->SetIndices(nullptr);
    vb->Release();
    ib->Release();
}

TEST_F(Buffers, DrawsOutsideASceneOrWithoutAFormatAreRefused)
{
    const XyzVertex triangle[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ), D3D_OK);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof triangle[0]), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_INVALIDCALL);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, 4), D3DERR_INVALIDCALL) << "stride below the format";
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL) << "no stream";
    const WORD indices[] = {0, 1, 7};
    EXPECT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, indices, D3DFMT_INDEX16, triangle,
                                             sizeof triangle[0]),
              D3DERR_INVALIDCALL)
        << "an index outside the declared vertex range";
    ASSERT_EQ(device->SetFVF(0), D3D_OK);
    EXPECT_EQ(device->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof triangle[0]), D3DERR_INVALIDCALL);
    ASSERT_EQ(device->EndScene(), D3D_OK);
}

TEST_F(Buffers, UserPointerDrawsUnsetTheStreamAndIndices)
{
    IDirect3DVertexBuffer9* vb = nullptr;
    IDirect3DIndexBuffer9* ib = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(36, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, &vb, nullptr), D3D_OK);
    ASSERT_EQ(device->CreateIndexBuffer(6, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &ib, nullptr), D3D_OK);
    ASSERT_EQ(device->SetStreamSource(0, vb, 0, 12), D3D_OK);
    ASSERT_EQ(device->SetIndices(ib), D3D_OK);
    ASSERT_EQ(device->SetFVF(D3DFVF_XYZ), D3D_OK);
    const XyzVertex triangle[] = {{0, 0, 0}, {1, 0, 0}, {0, 1, 0}};
    const WORD indices[] = {0, 1, 2};
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    ASSERT_EQ(device->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, indices, D3DFMT_INDEX16, triangle, 12), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL) << "stream 0 should be unset";
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(vb->Release(), 0u);
    EXPECT_EQ(ib->Release(), 0u);
}
