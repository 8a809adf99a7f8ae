// The scene's device context: the display device, the scene-wide flags that loading and the
// render passes set, the aspect ratio cameras use, the light-index allocator and the textures
// shared by file name. It forwards every call; it never suppresses a repeated state.
// It knows no scene types: buffers are described to it by their sizes and format.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/device_ref.h"

#include <map>
#include <string>

class StateCache {
public:
    // A light record's index before its first set.
    static constexpr DWORD kNoLightIndex = 0xFFFFFFFFu;
    static constexpr DWORD kStageCount = 8;

    explicit StateCache(IDirect3DDevice9* device);
    virtual ~StateCache();
    StateCache(const StateCache&) = delete;
    StateCache& operator=(const StateCache&) = delete;

    IDirect3DDevice9* device() const { return device_; }

    void drawIndexed(D3DPRIMITIVETYPE type, int baseVertexIndex, UINT minIndex, UINT vertexCount, UINT startIndex,
                     UINT primitiveCount);
    void setRenderState(D3DRENDERSTATETYPE state, DWORD value);
    void setMaterial(const D3DMATERIAL9& material);
    // Hands out the next index when `index` is kNoLightIndex; a record sets and enables the
    // light, null disables it. The index is kept either way.
    void setLight(const D3DLIGHT9* light, DWORD& index);
    void setRenderTargetTexture(IDirect3DTexture9* texture);
    // Write-only managed buffers; false (and `out` empty) when the device refuses or the size
    // does not fit in 32 bits.
    bool createVertexBuffer(UINT stride, UINT vertexCount, DWORD fvf, DeviceRef<IDirect3DVertexBuffer9>& out);
    bool createIndexBuffer(UINT triangleCount, DeviceRef<IDirect3DIndexBuffer9>& out);
    // Stages first..7: no texture, no texture transform, coordinate set = stage number.
    void resetStages(DWORD firstStage);
    // One slot per exact (case-sensitive) file name; a new name gets an empty slot.
    DeviceRef<IDirect3DTexture9>& textureSlot(const std::string& fileName);
    std::size_t textureCount() const { return textures_.size(); }

    DWORD nextLightIndex() const { return nextLightIndex_; }
    float aspectRatio() const { return aspectRatio_; }

    // Scene flags: set while loading, combined once when the scene is prepared.
    bool combinedSceneFlag = false;
    bool shadowLightFlag = false;
    bool meshFlagA = false;
    bool meshFlagB = false;
    // Set by the glow pass around its scene traversal, cleared at the start of every frame.
    bool glowPass = false;

private:
    float aspectRatio_ = 1.33333f;
    DWORD nextLightIndex_ = 0;
    IDirect3DDevice9* device_;
    std::map<std::string, DeviceRef<IDirect3DTexture9>> textures_;
};
