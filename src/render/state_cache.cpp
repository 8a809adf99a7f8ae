#include "render/state_cache.h"

#include "render/draw_counters.h"

#include <cstdint>

DrawCounters& drawCounters()
{
    static DrawCounters counters;
    return counters;
}

StateCache::StateCache(IDirect3DDevice9* device) : device_(device) {}

StateCache::~StateCache() = default;

void StateCache::drawIndexed(D3DPRIMITIVETYPE type, int baseVertexIndex, UINT minIndex, UINT vertexCount,
                             UINT startIndex, UINT primitiveCount)
{
    device_->DrawIndexedPrimitive(type, baseVertexIndex, minIndex, vertexCount, startIndex, primitiveCount);
    ++drawCounters().draws;
    drawCounters().primitives += primitiveCount;
}

void StateCache::setRenderState(D3DRENDERSTATETYPE state, DWORD value) { device_->SetRenderState(state, value); }

void StateCache::setMaterial(const D3DMATERIAL9& material) { device_->SetMaterial(&material); }

void StateCache::setLight(const D3DLIGHT9* light, DWORD& index)
{
    if (index == kNoLightIndex) index = nextLightIndex_++;
    if (light) {
        device_->SetLight(index, light);
        device_->LightEnable(index, TRUE);
    } else {
        device_->LightEnable(index, FALSE);
    }
}

void StateCache::setRenderTargetTexture(IDirect3DTexture9* texture)
{
    if (!texture) return;
    IDirect3DSurface9* surface = nullptr;
    if (FAILED(texture->GetSurfaceLevel(0, &surface)) || !surface) return;
    device_->SetRenderTarget(0, surface);
    surface->Release();
}

namespace {

bool byteLength(std::uint64_t count, std::uint64_t unit, UINT& length)
{
    const std::uint64_t bytes = count * unit;
    if (bytes > 0xFFFFFFFFu) return false;
    length = static_cast<UINT>(bytes);
    return true;
}

} // namespace

bool StateCache::createVertexBuffer(UINT stride, UINT vertexCount, DWORD fvf, DeviceRef<IDirect3DVertexBuffer9>& out)
{
    UINT length = 0;
    if (!byteLength(vertexCount, stride, length)) {
        out = DeviceRef<IDirect3DVertexBuffer9>();
        return false;
    }
    const HRESULT result = device_->CreateVertexBuffer(length, D3DUSAGE_WRITEONLY, fvf, D3DPOOL_MANAGED, out.out(), nullptr);
    if (FAILED(result)) out = DeviceRef<IDirect3DVertexBuffer9>();
    return static_cast<bool>(out);
}

bool StateCache::createIndexBuffer(UINT triangleCount, DeviceRef<IDirect3DIndexBuffer9>& out)
{
    UINT length = 0;
    if (!byteLength(triangleCount, 6, length)) {
        out = DeviceRef<IDirect3DIndexBuffer9>();
        return false;
    }
    const HRESULT result =
        device_->CreateIndexBuffer(length, D3DUSAGE_WRITEONLY, D3DFMT_INDEX16, D3DPOOL_MANAGED, out.out(), nullptr);
    if (FAILED(result)) out = DeviceRef<IDirect3DIndexBuffer9>();
    return static_cast<bool>(out);
}

void StateCache::resetStages(DWORD firstStage)
{
    for (DWORD stage = firstStage; stage < kStageCount; ++stage) {
        device_->SetTexture(stage, nullptr);
        device_->SetTextureStageState(stage, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);
        device_->SetTextureStageState(stage, D3DTSS_TEXCOORDINDEX, stage);
    }
}

DeviceRef<IDirect3DTexture9>& StateCache::textureSlot(const std::string& fileName) { return textures_[fileName]; }
