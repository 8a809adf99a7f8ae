// The state vector's reset and lookups, and which dirty groups each render state touches.
#include "platform/d3d9/core/device_state.h"

#include <algorithm>

namespace d3dcore {

void DeviceState::reset(UINT targetWidth, UINT targetHeight, bool autoDepth)
{
    for (DWORD state = 0; state < D3DRS_STATE_COUNT; ++state) renderStates[state] = defaultRenderState(state, autoDepth);
    for (DWORD stage = 0; stage < D3D_MAX_STAGES; ++stage)
        for (DWORD type = 0; type < D3DTSS_STATE_COUNT; ++type)
            stageStates[stage][type] = defaultTextureStageState(stage, type);
    for (auto& sampler : samplerStates)
        for (DWORD type = 0; type < D3DSAMP_STATE_COUNT; ++type) sampler[type] = defaultSamplerState(type);

    world = view = projection = identityMatrix();
    otherWorlds.fill(identityMatrix());
    textureMatrices.fill(identityMatrix());
    viewport = {0, 0, targetWidth, targetHeight, 0.0f, 1.0f};
    scissor = {0, 0, static_cast<LONG>(targetWidth), static_cast<LONG>(targetHeight)};
    material = {};
    lights.clear();
    fvf = 0;
    dirty = kDirtyAll;
    dirtySamplers = 0xFFFF;
}

namespace {

bool indexBefore(const LightSlot& slot, DWORD wanted) { return slot.index < wanted; }

} // namespace

const LightSlot* DeviceState::findLight(DWORD index) const
{
    auto found = std::lower_bound(lights.begin(), lights.end(), index, indexBefore);
    return found != lights.end() && found->index == index ? &*found : nullptr;
}

LightSlot& DeviceState::lightSlot(DWORD index)
{
    auto found = std::lower_bound(lights.begin(), lights.end(), index, indexBefore);
    if (found == lights.end() || found->index != index) {
        LightSlot slot;
        slot.index = index;
        found = lights.insert(found, slot);
    }
    return *found;
}

D3DMATRIX* DeviceState::transform(DWORD type)
{
    return const_cast<D3DMATRIX*>(static_cast<const DeviceState*>(this)->transform(type));
}

const D3DMATRIX* DeviceState::transform(DWORD type) const
{
    if (type == D3DTS_VIEW) return &view;
    if (type == D3DTS_PROJECTION) return &projection;
    if (type >= D3DTS_TEXTURE0 && type <= D3DTS_TEXTURE7) return &textureMatrices[type - D3DTS_TEXTURE0];
    if (type == D3DTS_WORLD) return &world;
    if (type > D3DTS_WORLD && type < D3DTS_WORLD + kWorldMatrixCount) return &otherWorlds[type - D3DTS_WORLD - 1];
    return nullptr;
}

std::uint32_t dirtyBitsForRenderState(D3DRENDERSTATETYPE state)
{
    switch (state) {
    case D3DRS_ZENABLE:
        return kDirtyDepthStencil;
    case D3DRS_ZWRITEENABLE:
    case D3DRS_ZFUNC:
    case D3DRS_STENCILENABLE:
    case D3DRS_STENCILFAIL:
    case D3DRS_STENCILZFAIL:
    case D3DRS_STENCILPASS:
    case D3DRS_STENCILFUNC:
    case D3DRS_STENCILREF:
    case D3DRS_STENCILMASK:
    case D3DRS_STENCILWRITEMASK:
        return kDirtyDepthStencil;
    case D3DRS_SRCBLEND:
    case D3DRS_DESTBLEND:
    case D3DRS_ALPHABLENDENABLE:
    case D3DRS_BLENDOP:
    case D3DRS_SEPARATEALPHABLENDENABLE:
        return kDirtyBlend;
    case D3DRS_FILLMODE:
    case D3DRS_CULLMODE:
    case D3DRS_COLORWRITEENABLE:
        return kDirtyRaster;
    case D3DRS_SCISSORTESTENABLE:
        return kDirtyViewport;
    case D3DRS_SHADEMODE:
    case D3DRS_ALPHATESTENABLE:
    case D3DRS_SPECULARENABLE:
    case D3DRS_LIGHTING:
    case D3DRS_COLORVERTEX:
    case D3DRS_LOCALVIEWER:
    case D3DRS_NORMALIZENORMALS:
    case D3DRS_DIFFUSEMATERIALSOURCE:
    case D3DRS_SPECULARMATERIALSOURCE:
    case D3DRS_AMBIENTMATERIALSOURCE:
    case D3DRS_EMISSIVEMATERIALSOURCE:
    case D3DRS_POINTSPRITEENABLE:
    case D3DRS_POINTSCALEENABLE:
        return kDirtyProgramKey;
    case D3DRS_ALPHAFUNC:
        return kDirtyProgramKey | kDirtyMaterial;
    case D3DRS_ALPHAREF:
    case D3DRS_TEXTUREFACTOR:
    case D3DRS_AMBIENT:
    case D3DRS_POINTSIZE:
    case D3DRS_POINTSIZE_MIN:
    case D3DRS_POINTSIZE_MAX:
    case D3DRS_POINTSCALE_A:
    case D3DRS_POINTSCALE_B:
    case D3DRS_POINTSCALE_C:
        return kDirtyMaterial;
    default:
        return 0; // dither, fog, clipping, last pixel: no effect in this pipeline
    }
}

} // namespace d3dcore
