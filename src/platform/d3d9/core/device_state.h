// The Direct3D 9 state vector of a device with its creation defaults (the one table every
// device starts from), and which groups of it changed since a backend last looked. Pure data,
// kept exactly as the caller set it.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/d3d9_defaults.h"

#include <array>
#include <cstdint>
#include <vector>

namespace d3dcore {

// Groups of state that the GL translation re-derives when they change.
enum DirtyBits : std::uint32_t {
    kDirtyProgramKey = 1u << 0,   // anything that shapes the generated program
    kDirtyBlend = 1u << 1,
    kDirtyDepthStencil = 1u << 2,
    kDirtyRaster = 1u << 3,       // cull, fill mode, colour mask
    kDirtyViewport = 1u << 4,     // viewport, scissor
    kDirtyTransforms = 1u << 5,   // world, view, projection
    kDirtyMaterial = 1u << 6,     // material, ambient, texture factor, alpha ref, points
    kDirtyLights = 1u << 7,
    kDirtyTextureMatrices = 1u << 8,
    kDirtySamplers = 1u << 9,
    kDirtyTextures = 1u << 10,
    kDirtyAll = 0xFFFFFFFFu,
};

struct LightSlot {
    DWORD index = 0;
    D3DLIGHT9 light{};
    bool enabled = false;
};

// Pixel samplers and vertex streams Direct3D 9 addresses; only the first D3D_MAX_STAGES
// samplers and stream 0 feed the fixed-function pipeline.
constexpr DWORD kSamplerCount = 16;
constexpr DWORD kStreamCount = 16;
// World matrices D3DTS_WORLDMATRIX(0..255); the pipeline uses the first (no vertex blending).
constexpr DWORD kWorldMatrixCount = 256;

struct DeviceState {
    std::array<DWORD, D3DRS_STATE_COUNT> renderStates{};
    std::array<std::array<DWORD, D3DTSS_STATE_COUNT>, D3D_MAX_STAGES> stageStates{};
    std::array<std::array<DWORD, D3DSAMP_STATE_COUNT>, kSamplerCount> samplerStates{};

    D3DMATRIX world{}, view{}, projection{};
    // World matrices 1..255, kept for read-back.
    std::array<D3DMATRIX, kWorldMatrixCount - 1> otherWorlds{};
    std::array<D3DMATRIX, D3D_MAX_STAGES> textureMatrices{};

    D3DVIEWPORT9 viewport{};
    RECT scissor{};
    D3DMATERIAL9 material{};
    // Lights set or enabled so far, sorted by index. The first D3D_MAX_LIGHTS enabled ones render.
    std::vector<LightSlot> lights;
    DWORD fvf = 0;

    std::uint32_t dirty = kDirtyAll;
    // Which individual samplers changed (bit per sampler).
    std::uint32_t dirtySamplers = 0xFFFF;

    // Installs Direct3D's creation-time defaults for a target of the given size.
    void reset(UINT targetWidth, UINT targetHeight, bool autoDepth);

    DWORD rs(D3DRENDERSTATETYPE state) const { return renderStates[state]; }
    float rsFloat(D3DRENDERSTATETYPE state) const { return d3dBitsFloat(renderStates[state]); }
    DWORD tss(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const { return stageStates[stage][type]; }
    DWORD samp(DWORD stage, D3DSAMPLERSTATETYPE type) const { return samplerStates[stage][type]; }

    // The record of a light index, null when it was never set nor enabled.
    const LightSlot* findLight(DWORD index) const;
    // The record of a light index, created (Type 0) in index order when missing.
    LightSlot& lightSlot(DWORD index);
    // The matrix of a transform type, null for types Direct3D 9 does not have.
    D3DMATRIX* transform(DWORD type);
    const D3DMATRIX* transform(DWORD type) const;
};

// Creation defaults, one value per state: what reset() installs and what tests compare with.
DWORD defaultRenderState(DWORD state, bool autoDepth);
DWORD defaultTextureStageState(DWORD stage, DWORD type);
DWORD defaultSamplerState(DWORD type);

// Which dirty groups a render state touches.
std::uint32_t dirtyBitsForRenderState(D3DRENDERSTATETYPE state);

} // namespace d3dcore
