// The Direct3D 9 state vector of a device with its creation defaults, and which groups of it
// changed since the OpenGL side last looked. Pure data: no OpenGL here, so the translation
// layer can be tested and the state kept exactly as the caller set it.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/d3d9_defaults.h"

#include <array>
#include <cstdint>
#include <vector>

namespace d3dgl {

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
    D3DLIGHT9 light{};        // Type 0: never set
    bool enabled = false;
};

// Light indices the device accepts; Direct3D takes any index, the player uses the first few.
constexpr DWORD kLightIndexLimit = 1024;

struct DeviceState {
    std::array<DWORD, D3DRS_STATE_COUNT> renderStates{};
    std::array<std::array<DWORD, D3DTSS_STATE_COUNT>, D3D_MAX_STAGES> stageStates{};
    std::array<std::array<DWORD, D3DSAMP_STATE_COUNT>, D3D_MAX_STAGES> samplerStates{};

    D3DMATRIX world{}, view{}, projection{};
    std::array<D3DMATRIX, D3D_MAX_STAGES> textureMatrices{};

    D3DVIEWPORT9 viewport{};
    RECT scissor{};
    D3DMATERIAL9 material{};
    // Lights set or enabled so far, by index. The first D3D_MAX_LIGHTS enabled ones render.
    std::vector<LightSlot> lights;
    DWORD fvf = 0;

    std::uint32_t dirty = kDirtyAll;
    // Which individual stages' samplers changed (bit per stage).
    std::uint32_t dirtySamplers = 0xFF;

    // Installs Direct3D's creation-time defaults for a target of the given size.
    void reset(UINT targetWidth, UINT targetHeight, bool autoDepth);

    DWORD rs(D3DRENDERSTATETYPE state) const { return renderStates[state]; }
    float rsFloat(D3DRENDERSTATETYPE state) const { return d3dBitsFloat(renderStates[state]); }
    DWORD tss(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const { return stageStates[stage][type]; }
    DWORD samp(DWORD stage, D3DSAMPLERSTATETYPE type) const { return samplerStates[stage][type]; }
};

// Which dirty groups a render state touches.
std::uint32_t dirtyBitsForRenderState(D3DRENDERSTATETYPE state);

} // namespace d3dgl
