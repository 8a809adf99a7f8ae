// The state setters and getters of the device core: range checks, then the state vector and
// the dirty groups a backend re-derives. Setting a value a state already has marks nothing.
#include "platform/d3d9/core/device_core.h"

#include "platform/d3d9/core/device_rules.h"

namespace d3dcore {

HRESULT DeviceCore::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (state >= D3DRS_STATE_COUNT) return D3DERR_INVALIDCALL;
    if (state_.renderStates[state] == value) return D3D_OK;
    state_.renderStates[state] = value;
    state_.dirty |= dirtyBitsForRenderState(state);
    return D3D_OK;
}

HRESULT DeviceCore::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value)
{
    if (state >= D3DRS_STATE_COUNT || !value) return D3DERR_INVALIDCALL;
    *value = state_.renderStates[state];
    return D3D_OK;
}

HRESULT DeviceCore::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    if (stage >= D3D_MAX_STAGES || type >= D3DTSS_STATE_COUNT) return D3DERR_INVALIDCALL;
    if (state_.stageStates[stage][type] == value) return D3D_OK;
    state_.stageStates[stage][type] = value;
    state_.dirty |= kDirtyProgramKey;
    return D3D_OK;
}

HRESULT DeviceCore::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value)
{
    if (stage >= D3D_MAX_STAGES || type >= D3DTSS_STATE_COUNT || !value) return D3DERR_INVALIDCALL;
    *value = state_.stageStates[stage][type];
    return D3D_OK;
}

HRESULT DeviceCore::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    if (sampler >= kSamplerCount || type >= D3DSAMP_STATE_COUNT) return D3DERR_INVALIDCALL;
    if (state_.samplerStates[sampler][type] == value) return D3D_OK;
    state_.samplerStates[sampler][type] = value;
    state_.dirty |= kDirtySamplers;
    state_.dirtySamplers |= 1u << sampler;
    return D3D_OK;
}

HRESULT DeviceCore::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value)
{
    if (sampler >= kSamplerCount || type >= D3DSAMP_STATE_COUNT || !value) return D3DERR_INVALIDCALL;
    *value = state_.samplerStates[sampler][type];
    return D3D_OK;
}

HRESULT DeviceCore::SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX* matrix)
{
    if (!matrix) return D3DERR_INVALIDCALL;
    // The world matrix changes on nearly every draw: it goes first.
    if (type == D3DTS_WORLD) {
        state_.world = *matrix;
        state_.dirty |= kDirtyTransforms;
        return D3D_OK;
    }
    D3DMATRIX* slot = state_.transform(type);
    if (!slot) return D3DERR_INVALIDCALL;
    *slot = *matrix;
    if (type == D3DTS_VIEW) state_.dirty |= kDirtyTransforms | kDirtyLights;
    else if (type == D3DTS_PROJECTION) state_.dirty |= kDirtyTransforms;
    else if (type >= D3DTS_TEXTURE0 && type <= D3DTS_TEXTURE7) state_.dirty |= kDirtyTextureMatrices;
    return D3D_OK;
}

HRESULT DeviceCore::GetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix)
{
    const D3DMATRIX* slot = state_.transform(type);
    if (!slot || !matrix) return D3DERR_INVALIDCALL;
    *matrix = *slot;
    return D3D_OK;
}

HRESULT DeviceCore::SetViewport(const D3DVIEWPORT9* viewport)
{
    if (!viewport) return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC target = backend_.surfaceDesc(renderTarget_);
    if (!viewportFits(*viewport, target.Width, target.Height)) return D3DERR_INVALIDCALL;
    state_.viewport = *viewport;
    state_.dirty |= kDirtyViewport | kDirtyMaterial;
    return D3D_OK;
}

HRESULT DeviceCore::GetViewport(D3DVIEWPORT9* viewport)
{
    if (!viewport) return D3DERR_INVALIDCALL;
    *viewport = state_.viewport;
    return D3D_OK;
}

HRESULT DeviceCore::SetScissorRect(const RECT* rect)
{
    if (!rect) return D3DERR_INVALIDCALL;
    state_.scissor = *rect;
    state_.dirty |= kDirtyViewport;
    return D3D_OK;
}

HRESULT DeviceCore::GetScissorRect(RECT* rect)
{
    if (!rect) return D3DERR_INVALIDCALL;
    *rect = state_.scissor;
    return D3D_OK;
}

HRESULT DeviceCore::SetMaterial(const D3DMATERIAL9* material)
{
    if (!material) return D3DERR_INVALIDCALL;
    state_.material = *material;
    state_.dirty |= kDirtyMaterial;
    return D3D_OK;
}

HRESULT DeviceCore::GetMaterial(D3DMATERIAL9* material)
{
    if (!material) return D3DERR_INVALIDCALL;
    *material = state_.material;
    return D3D_OK;
}

HRESULT DeviceCore::SetLight(DWORD index, const D3DLIGHT9* light)
{
    if (!light || !lightValid(*light)) return D3DERR_INVALIDCALL;
    state_.lightSlot(index).light = *light;
    state_.dirty |= kDirtyLights | kDirtyProgramKey;
    return D3D_OK;
}

HRESULT DeviceCore::GetLight(DWORD index, D3DLIGHT9* light)
{
    const LightSlot* slot = state_.findLight(index);
    if (!light || !slot) return D3DERR_INVALIDCALL;
    *light = slot->light;
    return D3D_OK;
}

HRESULT DeviceCore::LightEnable(DWORD index, BOOL enable)
{
    LightSlot& slot = state_.lightSlot(index);
    // Enabling (or disabling) a light that was never set creates the default record.
    if (slot.light.Type == 0) slot.light = defaultLight();
    slot.enabled = enable != FALSE;
    state_.dirty |= kDirtyLights | kDirtyProgramKey;
    return D3D_OK;
}

HRESULT DeviceCore::GetLightEnable(DWORD index, BOOL* enable)
{
    const LightSlot* slot = state_.findLight(index);
    if (!enable || !slot) return D3DERR_INVALIDCALL;
    *enable = slot->enabled ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT DeviceCore::SetFVF(DWORD fvf)
{
    if (state_.fvf != fvf) {
        state_.fvf = fvf;
        state_.dirty |= kDirtyProgramKey;
    }
    return D3D_OK;
}

HRESULT DeviceCore::GetFVF(DWORD* fvf)
{
    if (!fvf) return D3DERR_INVALIDCALL;
    *fvf = state_.fvf;
    return D3D_OK;
}

HRESULT DeviceCore::SetVertexShader(IDirect3DVertexShader9* shader)
{
    // Only the fixed-function pipeline exists here.
    return shader ? D3DERR_INVALIDCALL : D3D_OK;
}

HRESULT DeviceCore::GetDeviceCaps(D3DCAPS9* caps)
{
    if (!caps) return D3DERR_INVALIDCALL;
    *caps = caps_;
    return D3D_OK;
}

} // namespace d3dcore
