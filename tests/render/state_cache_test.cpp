// The state cache on the recording device: it forwards every call, hands out light indices
// once, shares textures by exact name and creates buffers with the sizes and flags asked.
#include "platform/d3d9/recording/recording_device.h"
#include "render/draw_counters.h"
#include "render/state_cache.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class StateCacheTest : public ::testing::Test {
protected:
    RecordingDevice* device = new RecordingDevice(64, 64, D3DFMT_X8R8G8B8);
    std::unique_ptr<StateCache> cache = std::make_unique<StateCache>(device);

    void TearDown() override
    {
        cache.reset();
        device->Release();
    }
};

TEST_F(StateCacheTest, StartsWithNoFlagsAndTheFiveDecimalAspectRatio)
{
    EXPECT_FALSE(cache->combinedSceneFlag || cache->shadowLightFlag || cache->meshFlagA || cache->meshFlagB ||
                 cache->glowPass);
    EXPECT_EQ(cache->aspectRatio(), 1.33333f);
    EXPECT_NE(cache->aspectRatio(), 4.0f / 3.0f);
    EXPECT_EQ(cache->nextLightIndex(), 0u);
}

TEST_F(StateCacheTest, LightIndicesAreHandedOutOnceAndKept)
{
    D3DLIGHT9 light{};
    light.Type = D3DLIGHT_POINT;
    DWORD first = StateCache::kNoLightIndex;
    DWORD second = StateCache::kNoLightIndex;
    cache->setLight(&light, first);
    cache->setLight(&light, second);
    EXPECT_EQ(first, 0u);
    EXPECT_EQ(second, 1u);

    cache->setLight(&light, first);
    EXPECT_EQ(first, 0u);
    cache->setLight(nullptr, second);
    EXPECT_EQ(second, 1u);
    EXPECT_EQ(cache->nextLightIndex(), 2u);
    EXPECT_TRUE(device->lightEnabled(0));
    EXPECT_FALSE(device->lightEnabled(1));
    ASSERT_NE(device->light(1), nullptr);

    // Disabling a light that never had an index takes one and sets no record.
    DWORD third = StateCache::kNoLightIndex;
    cache->setLight(nullptr, third);
    EXPECT_EQ(third, 2u);
    EXPECT_FALSE(device->lightEnabled(2));
}

TEST_F(StateCacheTest, ResetStagesCoversTheFirstStageUpToSeven)
{
    struct Case {
        DWORD first;
        std::size_t stagesTouched;
    };
    for (const Case& c : {Case{8, 0}, Case{3, 5}, Case{0, 8}}) {
        SCOPED_TRACE(c.first);
        for (DWORD stage = 0; stage < 8; ++stage) {
            device->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, 7 - stage);
            device->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_COUNT2);
        }
        device->clearCalls();
        cache->resetStages(c.first);
        EXPECT_EQ(device->countCalls("SetTexture"), c.stagesTouched);
        EXPECT_EQ(device->countCalls("SetTextureStageState"), 2 * c.stagesTouched);
        for (DWORD stage = 0; stage < 8; ++stage) {
            const bool touched = stage >= c.first;
            EXPECT_EQ(device->stageState(stage, D3DTSS_TEXCOORDINDEX), touched ? stage : 7 - stage);
            EXPECT_EQ(device->stageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS),
                      touched ? DWORD{D3DTTFF_DISABLE} : DWORD{D3DTTFF_COUNT2});
        }
    }
}

TEST_F(StateCacheTest, RepeatedStatesAreForwardedEveryTime)
{
    cache->setRenderState(D3DRS_LIGHTING, FALSE);
    cache->setRenderState(D3DRS_LIGHTING, FALSE);
    D3DMATERIAL9 material{};
    material.Power = 3.0f;
    cache->setMaterial(material);
    cache->setMaterial(material);
    EXPECT_EQ(device->countCalls("SetRenderState"), 2u);
    EXPECT_EQ(device->countCalls("SetMaterial"), 2u);
    EXPECT_EQ(device->renderState(D3DRS_LIGHTING), DWORD{FALSE});
    EXPECT_EQ(device->material().Power, 3.0f);
}

TEST_F(StateCacheTest, TextureSlotsAreByExactNameAndReleasedWithTheCache)
{
    DeviceRef<IDirect3DTexture9>& slot = cache->textureSlot("Wood.png");
    EXPECT_FALSE(slot);
    EXPECT_EQ(&cache->textureSlot("Wood.png"), &slot);
    EXPECT_NE(&cache->textureSlot("wood.png"), &slot);
    EXPECT_EQ(cache->textureCount(), 2u);

    ASSERT_EQ(device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, slot.out(), nullptr), D3D_OK);
    IDirect3DTexture9* texture = slot.get();
    texture->AddRef();
    cache.reset();
    EXPECT_EQ(texture->Release(), 0u);
}

TEST_F(StateCacheTest, BuffersAreWriteOnlyManagedAndSizedFromTheirCounts)
{
    DeviceRef<IDirect3DVertexBuffer9> vertices;
    ASSERT_TRUE(cache->createVertexBuffer(40, 3, 0x212, vertices));
    D3DVERTEXBUFFER_DESC vertexDesc{};
    vertices->GetDesc(&vertexDesc);
    EXPECT_EQ(vertexDesc.Size, 120u);
    EXPECT_EQ(vertexDesc.FVF, 0x212u);
    EXPECT_EQ(vertexDesc.Usage, DWORD{D3DUSAGE_WRITEONLY});
    EXPECT_EQ(vertexDesc.Pool, D3DPOOL_MANAGED);

    DeviceRef<IDirect3DIndexBuffer9> indices;
    ASSERT_TRUE(cache->createIndexBuffer(2, indices));
    D3DINDEXBUFFER_DESC indexDesc{};
    indices->GetDesc(&indexDesc);
    EXPECT_EQ(indexDesc.Size, 12u);
    EXPECT_EQ(indexDesc.Format, D3DFMT_INDEX16);
    EXPECT_EQ(indexDesc.Usage, DWORD{D3DUSAGE_WRITEONLY});
    EXPECT_EQ(indexDesc.Pool, D3DPOOL_MANAGED);
}

TEST_F(StateCacheTest, BufferCreationFailsWhenTheDeviceRefusesOrTheSizeOverflows)
{
    DeviceRef<IDirect3DVertexBuffer9> vertices;
    EXPECT_FALSE(cache->createVertexBuffer(40, 0x10000000u, 0x212, vertices));
    EXPECT_FALSE(vertices);
    EXPECT_EQ(device->countCalls("CreateVertexBuffer"), 0u);

    device->setMemoryLimit(16);
    DeviceRef<IDirect3DIndexBuffer9> indices;
    EXPECT_FALSE(cache->createIndexBuffer(100, indices));
    EXPECT_FALSE(indices);
}

TEST_F(StateCacheTest, IndexedDrawsAreForwardedAndCounted)
{
    const DrawCounters before = drawCounters();
    cache->drawIndexed(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1);
    cache->drawIndexed(D3DPT_TRIANGLELIST, 0, 0, 6, 3, 2);
    EXPECT_EQ(device->countCalls("DrawIndexedPrimitive"), 2u);
    EXPECT_EQ(drawCounters().draws - before.draws, 2u);
    EXPECT_EQ(drawCounters().primitives - before.primitives, 3u);
    ASSERT_FALSE(device->calls().empty());
    EXPECT_EQ(device->calls().back().rfind("DrawIndexedPrimitive", 0), 0u);
}

TEST_F(StateCacheTest, RenderTargetTextureSetsLevelZeroAndKeepsReferencesBalanced)
{
    IDirect3DTexture9* texture = nullptr;
    ASSERT_EQ(device->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &texture, nullptr),
              D3D_OK);
    cache->setRenderTargetTexture(texture);
    IDirect3DSurface9* level = nullptr;
    texture->GetSurfaceLevel(0, &level);
    EXPECT_EQ(device->renderTarget(), level);
    level->Release();
    cache->setRenderTargetTexture(nullptr);
    EXPECT_EQ(device->renderTarget(), level);
    device->SetRenderTarget(0, device->backBuffer());
    EXPECT_EQ(texture->Release(), 0u);
}

} // namespace
