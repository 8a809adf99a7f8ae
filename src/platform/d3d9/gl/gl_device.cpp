// GlDevice lifetime and the state setters/getters: they only record state and mark what the
// pipeline must re-derive; OpenGL is touched at draw, clear, present and resource time.
#include "platform/d3d9/gl/gl_device.h"

#include "platform/d3d9/gl/ff_pipeline.h"
#include "platform/d3d9/gl/gl_buffers.h"
#include "platform/d3d9/gl/gl_diagnostics.h"
#include "platform/d3d9/gl/gl_formats.h"
#include "platform/d3d9/gl/gl_texture.h"

#include <cstring>

namespace d3dgl {

GlDevice::GlDevice(IDirect3D9* direct3d, std::shared_ptr<GlContext> context, const D3DPRESENT_PARAMETERS& parameters,
                   const D3DCAPS9& caps)
    : direct3d_(direct3d), shared_(std::make_shared<GlDeviceShared>(std::move(context))), parameters_(parameters),
      caps_(caps)
{
    direct3d_->AddRef();
    shared_->device = this;
}

GlDevice* GlDevice::create(IDirect3D9* direct3d, std::shared_ptr<GlContext> context,
                           const D3DPRESENT_PARAMETERS& parameters, const D3DCAPS9& caps, HRESULT* result)
{
    auto* device = new GlDevice(direct3d, std::move(context), parameters, caps);
    device->shared_->makeCurrent();
    device->pipeline_ = std::make_unique<FfPipeline>(*device->shared_, caps.MaxPointSize);
    if (!device->createSurfaces(result)) {
        device->Release();
        return nullptr;
    }
    device->state_.reset(parameters.BackBufferWidth, parameters.BackBufferHeight,
                         parameters.EnableAutoDepthStencil != FALSE);
    device->bindTargetFramebuffer();
    *result = D3D_OK;
    return device;
}

bool GlDevice::createSurfaces(HRESULT* result)
{
    backBuffer_ = GlTexture::create(shared_, parameters_.BackBufferWidth, parameters_.BackBufferHeight, 1,
                                    D3DUSAGE_RENDERTARGET, parameters_.BackBufferFormat, D3DPOOL_DEFAULT);
    if (!backBuffer_) {
        *result = D3DERR_OUTOFVIDEOMEMORY;
        return false;
    }
    renderTarget_ = backBuffer_->level(0);
    renderTarget_->AddRef();
    if (parameters_.EnableAutoDepthStencil) {
        depthStencil_ = GlDepthSurface::create(shared_, parameters_.BackBufferWidth, parameters_.BackBufferHeight,
                                               parameters_.AutoDepthStencilFormat);
        if (!depthStencil_) {
            *result = D3DERR_NOTAVAILABLE;
            return false;
        }
    }
    return true;
}

GlDevice::~GlDevice()
{
    shared_->makeCurrent();
    for (auto& texture : textures_) safeRelease(texture);
    safeRelease(stream_);
    safeRelease(indices_);
    safeRelease(renderTarget_);
    safeRelease(depthStencil_);
    safeRelease(backBuffer_);
    pipeline_.reset();
    pollGlErrors("device release");
    shared_->device = nullptr;
    direct3d_->Release();
}

ULONG GlDevice::Release()
{
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT GlDevice::GetDeviceCaps(D3DCAPS9* caps)
{
    if (!caps) return D3DERR_INVALIDCALL;
    *caps = caps_;
    return D3D_OK;
}

HRESULT GlDevice::BeginScene()
{
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT GlDevice::EndScene()
{
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

HRESULT GlDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    if (state >= D3DRS_STATE_COUNT) return D3DERR_INVALIDCALL;
    if (state_.renderStates[state] == value) return D3D_OK;
    state_.renderStates[state] = value;
    state_.dirty |= dirtyBitsForRenderState(state);
    return D3D_OK;
}

HRESULT GlDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value)
{
    if (state >= D3DRS_STATE_COUNT || !value) return D3DERR_INVALIDCALL;
    *value = state_.renderStates[state];
    return D3D_OK;
}

HRESULT GlDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    if (stage >= D3D_MAX_STAGES || type >= D3DTSS_STATE_COUNT) return D3DERR_INVALIDCALL;
    if (state_.stageStates[stage][type] == value) return D3D_OK;
    state_.stageStates[stage][type] = value;
    state_.dirty |= kDirtyProgramKey;
    return D3D_OK;
}

HRESULT GlDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value)
{
    if (stage >= D3D_MAX_STAGES || type >= D3DTSS_STATE_COUNT || !value) return D3DERR_INVALIDCALL;
    *value = state_.stageStates[stage][type];
    return D3D_OK;
}

HRESULT GlDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    if (sampler >= D3D_MAX_STAGES || type >= D3DSAMP_STATE_COUNT) return D3DERR_INVALIDCALL;
    if (state_.samplerStates[sampler][type] == value) return D3D_OK;
    state_.samplerStates[sampler][type] = value;
    state_.dirty |= kDirtySamplers;
    state_.dirtySamplers |= 1u << sampler;
    return D3D_OK;
}

HRESULT GlDevice::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value)
{
    if (sampler >= D3D_MAX_STAGES || type >= D3DSAMP_STATE_COUNT || !value) return D3DERR_INVALIDCALL;
    *value = state_.samplerStates[sampler][type];
    return D3D_OK;
}

namespace {

D3DMATRIX* transformSlot(DeviceState& state, D3DTRANSFORMSTATETYPE type, std::uint32_t* dirty)
{
    switch (type) {
    case D3DTS_WORLD: *dirty = kDirtyTransforms; return &state.world;
    case D3DTS_VIEW: *dirty = kDirtyTransforms | kDirtyLights; return &state.view;
    case D3DTS_PROJECTION: *dirty = kDirtyTransforms; return &state.projection;
    default:
        if (type >= D3DTS_TEXTURE0 && type <= D3DTS_TEXTURE7) {
            *dirty = kDirtyTextureMatrices;
            return &state.textureMatrices[type - D3DTS_TEXTURE0];
        }
        return nullptr;
    }
}

} // namespace

HRESULT GlDevice::SetTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX* matrix)
{
    std::uint32_t dirty = 0;
    D3DMATRIX* slot = transformSlot(state_, type, &dirty);
    if (!slot || !matrix) return D3DERR_INVALIDCALL;
    *slot = *matrix;
    state_.dirty |= dirty;
    return D3D_OK;
}

HRESULT GlDevice::GetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix)
{
    std::uint32_t dirty = 0;
    D3DMATRIX* slot = transformSlot(state_, type, &dirty);
    if (!slot || !matrix) return D3DERR_INVALIDCALL;
    *matrix = *slot;
    return D3D_OK;
}

HRESULT GlDevice::SetViewport(const D3DVIEWPORT9* viewport)
{
    if (!viewport) return D3DERR_INVALIDCALL;
    const FfTarget& target = pipeline_->target();
    // The viewport must lie inside the render target.
    if (viewport->Width == 0 || viewport->Height == 0 || viewport->X + viewport->Width > target.width ||
        viewport->Y + viewport->Height > target.height)
        return D3DERR_INVALIDCALL;
    state_.viewport = *viewport;
    state_.dirty |= kDirtyViewport | kDirtyMaterial;
    return D3D_OK;
}

HRESULT GlDevice::GetViewport(D3DVIEWPORT9* viewport)
{
    if (!viewport) return D3DERR_INVALIDCALL;
    *viewport = state_.viewport;
    return D3D_OK;
}

HRESULT GlDevice::SetScissorRect(const RECT* rect)
{
    if (!rect) return D3DERR_INVALIDCALL;
    state_.scissor = *rect;
    state_.dirty |= kDirtyViewport;
    return D3D_OK;
}

HRESULT GlDevice::GetScissorRect(RECT* rect)
{
    if (!rect) return D3DERR_INVALIDCALL;
    *rect = state_.scissor;
    return D3D_OK;
}

HRESULT GlDevice::SetMaterial(const D3DMATERIAL9* material)
{
    if (!material) return D3DERR_INVALIDCALL;
    state_.material = *material;
    state_.dirty |= kDirtyMaterial;
    return D3D_OK;
}

HRESULT GlDevice::GetMaterial(D3DMATERIAL9* material)
{
    if (!material) return D3DERR_INVALIDCALL;
    *material = state_.material;
    return D3D_OK;
}

HRESULT GlDevice::SetLight(DWORD index, const D3DLIGHT9* light)
{
    if (index >= kLightIndexLimit || !light) return D3DERR_INVALIDCALL;
    if (light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL) return D3DERR_INVALIDCALL;
    // Negative attenuation makes no sense for positional lights; the old record stays.
    if (light->Type != D3DLIGHT_DIRECTIONAL &&
        (light->Attenuation0 < 0.0f || light->Attenuation1 < 0.0f || light->Attenuation2 < 0.0f))
        return D3DERR_INVALIDCALL;
    if (index >= state_.lights.size()) state_.lights.resize(index + 1);
    state_.lights[index].light = *light;
    state_.dirty |= kDirtyLights | kDirtyProgramKey;
    return D3D_OK;
}

HRESULT GlDevice::GetLight(DWORD index, D3DLIGHT9* light)
{
    // A light never set or enabled has no record to return.
    if (!light || index >= state_.lights.size() || state_.lights[index].light.Type == 0) return D3DERR_INVALIDCALL;
    *light = state_.lights[index].light;
    return D3D_OK;
}

HRESULT GlDevice::LightEnable(DWORD index, BOOL enable)
{
    if (index >= kLightIndexLimit) return D3DERR_INVALIDCALL;
    if (index >= state_.lights.size()) state_.lights.resize(index + 1);
    LightSlot& slot = state_.lights[index];
    // Enabling (or disabling) a light that was never set creates the default record.
    if (slot.light.Type == 0) slot.light = defaultLight();
    slot.enabled = enable != FALSE;
    state_.dirty |= kDirtyLights | kDirtyProgramKey;
    return D3D_OK;
}

HRESULT GlDevice::GetLightEnable(DWORD index, BOOL* enable)
{
    if (!enable || index >= state_.lights.size() || state_.lights[index].light.Type == 0) return D3DERR_INVALIDCALL;
    *enable = state_.lights[index].enabled ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT GlDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    if (stage >= D3D_MAX_STAGES) return D3DERR_INVALIDCALL;
    if (texture && !dynamic_cast<GlTexture*>(texture)) return D3DERR_INVALIDCALL;
    if (textures_[stage] == texture) return D3D_OK;
    if (texture) texture->AddRef();
    safeRelease(textures_[stage]);
    textures_[stage] = texture;
    state_.dirty |= kDirtyTextures;
    return D3D_OK;
}

HRESULT GlDevice::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture)
{
    if (stage >= D3D_MAX_STAGES || !texture) return D3DERR_INVALIDCALL;
    *texture = textures_[stage];
    if (*texture) (*texture)->AddRef();
    return D3D_OK;
}

HRESULT GlDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offsetInBytes, UINT stride)
{
    if (stream != 0) return D3DERR_INVALIDCALL;
    auto* glBuffer = dynamic_cast<GlVertexBuffer*>(buffer);
    if (buffer && !glBuffer) return D3DERR_INVALIDCALL;
    if (glBuffer) glBuffer->AddRef();
    safeRelease(stream_);
    stream_ = glBuffer;
    streamOffset_ = offsetInBytes;
    streamStride_ = stride;
    return D3D_OK;
}

HRESULT GlDevice::SetIndices(IDirect3DIndexBuffer9* indexBuffer)
{
    auto* glBuffer = dynamic_cast<GlIndexBuffer*>(indexBuffer);
    if (indexBuffer && !glBuffer) return D3DERR_INVALIDCALL;
    if (glBuffer) glBuffer->AddRef();
    safeRelease(indices_);
    indices_ = glBuffer;
    return D3D_OK;
}

HRESULT GlDevice::SetFVF(DWORD fvf)
{
    if (state_.fvf != fvf) {
        state_.fvf = fvf;
        state_.dirty |= kDirtyProgramKey;
    }
    return D3D_OK;
}

HRESULT GlDevice::GetFVF(DWORD* fvf)
{
    if (!fvf) return D3DERR_INVALIDCALL;
    *fvf = state_.fvf;
    return D3D_OK;
}

HRESULT GlDevice::SetVertexShader(IDirect3DVertexShader9* shader)
{
    // Only the fixed-function pipeline exists here.
    return shader ? D3DERR_INVALIDCALL : D3D_OK;
}

} // namespace d3dgl
