// Recording resources behave like Direct3D's: pitches, locks, reference counts, trace lines.
#include "platform/d3d9/recording/recording_device.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class RecordingResources : public ::testing::Test {
protected:
    void SetUp() override { device = new RecordingDevice(64, 32, D3DFMT_A8R8G8B8); }
    void TearDown() override
    {
        if (device)
            device->Release();
    }
    RecordingDevice* device = nullptr;
};

TEST_F(RecordingResources, TextureLevelsHaveHalvingSizesAndFourByteAlignedPitch)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(13, 6, 0, 0, D3DFMT_L8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 4u); // 13 → 6 → 3 → 1
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(texture->GetLevelDesc(2, &desc), D3D_OK);
    EXPECT_EQ(desc.Width, 3u);
    EXPECT_EQ(desc.Height, 1u);
    EXPECT_EQ(desc.Format, D3DFMT_L8);
    EXPECT_EQ(texture->GetLevelDesc(4, &desc), D3DERR_INVALIDCALL);

    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 16);
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL) << "already locked";
    EXPECT_EQ(texture->UnlockRect(0), D3D_OK);
    EXPECT_EQ(texture->UnlockRect(0), D3DERR_INVALIDCALL);
    texture->Release();
}

TEST_F(RecordingResources, LockedRectanglePointsAtItsTopLeftAndTraceCarriesPackedRows)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    device->clearCalls();
    RECT rect{1, 2, 3, 4};
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, &rect, 0), D3D_OK);
    auto* bytes = static_cast<std::uint8_t*>(locked.pBits);
    for (int row = 0; row < 2; ++row)
        for (int k = 0; k < 8; ++k)
            bytes[row * locked.Pitch + k] = static_cast<std::uint8_t>(0x10 * row + k);
    ASSERT_EQ(texture->UnlockRect(0), D3D_OK);
    ASSERT_EQ(device->calls().size(), 2u);
    EXPECT_EQ(device->calls()[0], "TextureLockRect @1 0 1 2 3 4 0");
    EXPECT_EQ(device->calls()[1], "TextureUnlockRect @1 0 00010203040506071011121314151617");

    IDirect3DSurface9* level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &level), D3D_OK);
    auto* surface = static_cast<RecordingSurface*>(level);
    EXPECT_EQ(surface->pixel(1, 2), 0x03020100u);
    EXPECT_EQ(surface->pixel(2, 3), 0x17161514u);
    level->Release();

    RECT outside{2, 2, 5, 3};
    EXPECT_EQ(texture->LockRect(0, &locked, &outside, 0), D3DERR_INVALIDCALL);
    texture->Release();
}

TEST_F(RecordingResources, ReadOnlyLocksCarryNoData)
{
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(8, 8, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &surface, nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(locked.Pitch, 32);
    ASSERT_EQ(surface->UnlockRect(), D3D_OK);
    EXPECT_EQ(device->calls().back(), "SurfaceUnlockRect @1 -");
    surface->Release();
}

TEST_F(RecordingResources, RenderTargetsAndDepthSurfacesAreNotLockable)
{
    IDirect3DTexture9* target = nullptr;
    ASSERT_EQ(device->CreateTexture(16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, &target, nullptr),
              D3D_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(target->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    IDirect3DSurface9* depth = nullptr;
    ASSERT_EQ(device->CreateDepthStencilSurface(16, 16, D3DFMT_D16, D3DMULTISAMPLE_NONE, 0, FALSE, &depth, nullptr),
              D3D_OK);
    EXPECT_EQ(depth->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
    IDirect3DSurface9* back = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    EXPECT_EQ(back->LockRect(&locked, nullptr, 0), D3DERR_INVALIDCALL);
    back->Release();
    depth->Release();
    target->Release();
}

TEST_F(RecordingResources, InvalidCreationsFail)
{
    IDirect3DTexture9* texture = reinterpret_cast<IDirect3DTexture9*>(1);
    EXPECT_EQ(device->CreateTexture(0, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(device->CreateTexture(4, 4, 4, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3DERR_INVALIDCALL)
        << "a 4 × 4 chain has three levels";
    EXPECT_EQ(device->CreateTexture(4, 4, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_D24S8, D3DPOOL_MANAGED, &texture, nullptr), D3DERR_INVALIDCALL);
    device->caps().MaxTextureWidth = 256;
    EXPECT_EQ(device->CreateTexture(512, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device->calls().back(), "CreateTexture 512 4 1 0 21 1 @0");
    IDirect3DIndexBuffer9* indices = nullptr;
    EXPECT_EQ(device->CreateIndexBuffer(12, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &indices, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(RecordingResources, MemoryLimitRefusesCreationAndReleaseGivesItBack)
{
    device->setMemoryLimit(1000);
    IDirect3DVertexBuffer9* first = nullptr;
    IDirect3DVertexBuffer9* second = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(600, 0, 0, D3DPOOL_MANAGED, &first, nullptr), D3D_OK);
    EXPECT_EQ(device->CreateVertexBuffer(600, 0, 0, D3DPOOL_MANAGED, &second, nullptr), D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(device->memoryInUse(), 600u);
    first->Release();
    EXPECT_EQ(device->memoryInUse(), 0u);
    ASSERT_EQ(device->CreateVertexBuffer(600, 0, 0, D3DPOOL_MANAGED, &second, nullptr), D3D_OK);
    second->Release();
}

TEST_F(RecordingResources, BufferLocksRespectBoundsAndUnlockLogsTheLockedRange)
{
    IDirect3DIndexBuffer9* indices = nullptr;
    ASSERT_EQ(device->CreateIndexBuffer(8, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, &indices, nullptr),
              D3D_OK);
    void* data = nullptr;
    EXPECT_EQ(indices->Lock(4, 6, &data, 0), D3DERR_INVALIDCALL);
    ASSERT_EQ(indices->Lock(4, 0, &data, 0), D3D_OK);
    const std::uint16_t values[2] = {0x0102, 0xA0B0};
    std::memcpy(data, values, 4);
    ASSERT_EQ(indices->Unlock(), D3D_OK);
    EXPECT_EQ(device->calls().back(), "IndexBufferUnlock @1 0201b0a0");
    D3DINDEXBUFFER_DESC desc{};
    ASSERT_EQ(indices->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Size, 8u);
    EXPECT_EQ(desc.Format, D3DFMT_INDEX16);
    indices->Release();
}

TEST_F(RecordingResources, BoundObjectsStayAliveUntilUnboundAndReleaseIsLogged)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture, nullptr), D3D_OK);
    device->SetTexture(2, texture);
    EXPECT_EQ(texture->Release(), 1u) << "the device still holds it";
    EXPECT_EQ(device->texture(2), texture);
    device->clearCalls();
    device->SetTexture(2, nullptr);
    ASSERT_EQ(device->calls().size(), 2u);
    EXPECT_EQ(device->calls()[0], "SetTexture 2 @0");
    EXPECT_EQ(device->calls()[1], "Release @1");
}

TEST_F(RecordingResources, SurfaceLevelsShareTheTexturesReferenceCount)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr),
              D3D_OK);
    IDirect3DSurface9* surface = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(0, &surface), D3D_OK);
    EXPECT_EQ(texture->Release(), 1u);
    device->SetRenderTarget(0, surface);
    EXPECT_EQ(surface->Release(), 1u) << "the render target binding keeps the texture";
    IDirect3DSurface9* back = nullptr;
    device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    device->clearCalls();
    device->SetRenderTarget(0, back);
    EXPECT_EQ(device->calls().back(), "Release @1");
    EXPECT_EQ(device->viewport().Width, 64u);
    back->Release();
}

TEST_F(RecordingResources, GetRenderTargetDataCopiesIntoSystemMemory)
{
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x80402010, 1.0f, 0);
    IDirect3DSurface9* back = nullptr;
    IDirect3DSurface9* copy = nullptr;
    ASSERT_EQ(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
    ASSERT_EQ(device->CreateOffscreenPlainSurface(64, 32, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr), D3D_OK);
    ASSERT_EQ(device->GetRenderTargetData(back, copy), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    std::uint32_t pixel = 0;
    std::memcpy(&pixel, static_cast<std::uint8_t*>(locked.pBits) + 5 * locked.Pitch + 4 * 7, 4);
    EXPECT_EQ(pixel, 0x80402010u);
    copy->UnlockRect();

    IDirect3DSurface9* wrongSize = nullptr;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(32, 32, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &wrongSize, nullptr),
              D3D_OK);
    EXPECT_EQ(device->GetRenderTargetData(back, wrongSize), D3DERR_INVALIDCALL);
    wrongSize->Release();
    copy->Release();
    back->Release();
}

TEST_F(RecordingResources, ObjectsOutlivingTheDeviceStillWork)
{
    IDirect3DVertexBuffer9* buffer = nullptr;
    ASSERT_EQ(device->CreateVertexBuffer(16, 0, 0, D3DPOOL_MANAGED, &buffer, nullptr), D3D_OK);
    device->Release();
    device = nullptr;
    void* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    std::memset(data, 1, 16);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    IDirect3DDevice9* owner = reinterpret_cast<IDirect3DDevice9*>(1);
    EXPECT_EQ(buffer->GetDevice(&owner), D3DERR_INVALIDCALL);
    EXPECT_EQ(owner, nullptr);
    buffer->Release();
}

} // namespace
