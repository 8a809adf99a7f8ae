// The recording device: state keeping with Direct3D 9's rules, a trace line per call.
#include "platform/d3d9/recording/recording_device.h"

#include "platform/d3d9/recording/recording_defaults.h"
#include "platform/d3d9/trace/trace_line.h"

#include <algorithm>
#include <ostream>

namespace {

TraceLine& matrixFields(TraceLine& line, const D3DMATRIX& m)
{
    return line.floats(&m._11, 16);
}

TraceLine& colourFields(TraceLine& line, const D3DCOLORVALUE& c)
{
    return line.f(c.r).f(c.g).f(c.b).f(c.a);
}

bool validTransform(DWORD type)
{
    return type == D3DTS_VIEW || type == D3DTS_PROJECTION || (type >= D3DTS_TEXTURE0 && type <= D3DTS_TEXTURE7) ||
           (type >= D3DTS_WORLD && type < D3DTS_WORLD + 256);
}

// Null for null and for objects some other device made.
template <typename T>
T* recordingObject(IUnknown* object)
{
    return object ? dynamic_cast<T*>(object) : nullptr;
}

} // namespace

RecordingDevice::RecordingDevice(UINT width, UINT height, D3DFORMAT format, D3DFORMAT autoDepthFormat)
    : caps_(recordingDefaultCaps()), autoDepthFormat_(autoDepthFormat)
{
    const bool autoDepth = autoDepthFormat != D3DFMT_UNKNOWN;
    for (DWORD state = 0; state < D3DRS_STATE_COUNT; ++state)
        renderStates_[state] = defaultRenderState(state, autoDepth);
    for (DWORD stage = 0; stage < D3D_MAX_STAGES; ++stage)
        for (DWORD type = 0; type < D3DTSS_STATE_COUNT; ++type)
            stageStates_[stage][type] = defaultTextureStageState(stage, type);
    for (auto& sampler : samplerStates_)
        for (DWORD type = 0; type < D3DSAMP_STATE_COUNT; ++type)
            sampler[type] = defaultSamplerState(type);

    D3DSURFACE_DESC desc{};
    desc.Format = format;
    desc.Type = D3DRTYPE_SURFACE;
    desc.Usage = D3DUSAGE_RENDERTARGET;
    desc.Pool = D3DPOOL_DEFAULT;
    desc.Width = width;
    desc.Height = height;
    backBuffer_ = new RecordingSurface(this, desc, nullptr);
    renderTarget_ = backBuffer_;
    backBuffer_->AddRef();
    live_.insert(backBuffer_);
    if (autoDepth) {
        desc.Format = autoDepthFormat;
        desc.Usage = D3DUSAGE_DEPTHSTENCIL;
        autoDepth_ = new RecordingSurface(this, desc, nullptr);
        depthStencil_ = autoDepth_;
        autoDepth_->AddRef();
        live_.insert(autoDepth_);
    }
    resetViewportTo(*backBuffer_);
}

RecordingDevice::~RecordingDevice()
{
    destroying_ = true;
    for (auto& texture : textures_)
        safeRelease(texture);
    for (auto& buffer : streamBuffers_)
        safeRelease(buffer);
    safeRelease(indices_);
    safeRelease(renderTarget_);
    safeRelease(depthStencil_);
    safeRelease(backBuffer_);
    safeRelease(autoDepth_);
    // Whatever the application still holds keeps working but stops logging.
    for (RecordingResource* resource : live_)
        resource->orphan();
}

ULONG RecordingDevice::Release()
{
    ULONG left = --refs_;
    if (left == 0)
        delete this;
    return left;
}

// ---------------------------------------------------------------------------------------------
// Log and handles

void RecordingDevice::log(const TraceLine& line)
{
    if (destroying_)
        return;
    if (keepCalls_)
        calls_.push_back(line.str());
    if (traceStream_)
        *traceStream_ << line.str() << '\n';
}

unsigned RecordingDevice::handleOf(RecordingResource* resource)
{
    if (!resource)
        return 0;
    if (resource->traceHandle == 0)
        resource->traceHandle = nextHandle_++;
    return resource->traceHandle;
}

void RecordingDevice::retire(RecordingResource* resource, std::size_t bytes)
{
    live_.erase(resource);
    memoryInUse_ -= std::min(memoryInUse_, bytes);
    if (resource->traceHandle != 0)
        log(TraceLine("Release").handle(resource->traceHandle));
}

bool RecordingDevice::reserveMemory(std::size_t bytes)
{
    if (bytes > memoryLimit_ - memoryInUse_)
        return false;
    memoryInUse_ += bytes;
    return true;
}

std::size_t RecordingDevice::countCalls(std::string_view name) const
{
    return static_cast<std::size_t>(std::count_if(calls_.begin(), calls_.end(), [&](const std::string& line) {
        return line.compare(0, name.size(), name) == 0 && (line.size() == name.size() || line[name.size()] == ' ');
    }));
}

std::string RecordingDevice::traceHeader() const
{
    const D3DSURFACE_DESC& desc = backBuffer_->desc();
    return TraceLine("Device").u(desc.Width).u(desc.Height).u(desc.Format).u(autoDepthFormat_).str();
}

void RecordingDevice::setTraceStream(std::ostream* stream)
{
    traceStream_ = stream;
    if (traceStream_)
        *traceStream_ << traceHeader() << '\n';
}

void RecordingDevice::writeTrace(std::ostream& out) const
{
    out << traceHeader() << '\n';
    for (const std::string& line : calls_)
        out << line << '\n';
}

template <typename T>
void RecordingDevice::rebind(T*& slot, T* object)
{
    if (object)
        object->AddRef();
    T* old = slot;
    slot = object;
    if (old)
        old->Release();
}

void RecordingDevice::resetViewportTo(const RecordingSurface& surface)
{
    viewport_ = {0, 0, surface.desc().Width, surface.desc().Height, 0.0f, 1.0f};
    scissor_ = {0, 0, static_cast<LONG>(surface.desc().Width), static_cast<LONG>(surface.desc().Height)};
}

// ---------------------------------------------------------------------------------------------
// Accessors

DWORD RecordingDevice::renderState(D3DRENDERSTATETYPE state) const
{
    return state < D3DRS_STATE_COUNT ? renderStates_[state] : 0;
}

DWORD RecordingDevice::stageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const
{
    return stage < D3D_MAX_STAGES && type < D3DTSS_STATE_COUNT ? stageStates_[stage][type] : 0;
}

DWORD RecordingDevice::samplerState(DWORD sampler, D3DSAMPLERSTATETYPE type) const
{
    return sampler < kSamplers && type < D3DSAMP_STATE_COUNT ? samplerStates_[sampler][type] : 0;
}

D3DMATRIX RecordingDevice::transform(D3DTRANSFORMSTATETYPE type) const
{
    auto found = transforms_.find(type);
    return found == transforms_.end() ? identityMatrix() : found->second;
}

IDirect3DBaseTexture9* RecordingDevice::texture(DWORD stage) const
{
    return stage < kSamplers ? textures_[stage] : nullptr;
}

const D3DLIGHT9* RecordingDevice::light(DWORD index) const
{
    auto found = lights_.find(index);
    return found == lights_.end() ? nullptr : &found->second;
}

bool RecordingDevice::lightEnabled(DWORD index) const
{
    auto found = lightEnabled_.find(index);
    return found != lightEnabled_.end() && found->second;
}

RecordingDevice::StreamBinding RecordingDevice::streamSource(UINT stream) const
{
    if (stream >= kStreams)
        return {};
    return {streamBuffers_[stream], streamOffsets_[stream], streamStrides_[stream]};
}

// ---------------------------------------------------------------------------------------------
// Frame

HRESULT RecordingDevice::GetDeviceCaps(D3DCAPS9* caps)
{
    log(TraceLine("GetDeviceCaps"));
    if (!caps)
        return D3DERR_INVALIDCALL;
    *caps = caps_;
    return D3D_OK;
}

HRESULT RecordingDevice::BeginScene()
{
    log(TraceLine("BeginScene"));
    if (inScene_)
        return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT RecordingDevice::EndScene()
{
    log(TraceLine("EndScene"));
    if (!inScene_)
        return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

HRESULT RecordingDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil)
{
    TraceLine line("Clear");
    line.u(count).u(rects ? 1 : 0).u(flags).x(color).f(z).u(stencil);
    if (rects)
        for (DWORD k = 0; k < count; ++k)
            line.i(rects[k].x1).i(rects[k].y1).i(rects[k].x2).i(rects[k].y2);
    log(line);

    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !depthStencil_)
        return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_STENCIL) && depthStencil_->desc().Format != D3DFMT_D24S8)
        return D3DERR_INVALIDCALL;
    if (!(flags & D3DCLEAR_TARGET))
        return D3D_OK;
    // Count 0 with a rectangle list clears nothing; a null list clears the viewport.
    if (count == 0 && rects)
        return D3D_OK;
    RECT area{static_cast<LONG>(viewport_.X), static_cast<LONG>(viewport_.Y),
              static_cast<LONG>(viewport_.X + viewport_.Width), static_cast<LONG>(viewport_.Y + viewport_.Height)};
    if (renderStates_[D3DRS_SCISSORTESTENABLE]) {
        area.left = std::max(area.left, scissor_.left);
        area.top = std::max(area.top, scissor_.top);
        area.right = std::min(area.right, scissor_.right);
        area.bottom = std::min(area.bottom, scissor_.bottom);
    }
    if (!rects) {
        renderTarget_->fill(area, color);
        return D3D_OK;
    }
    for (DWORD k = 0; k < count; ++k) {
        RECT part{std::max<LONG>(area.left, rects[k].x1), std::max<LONG>(area.top, rects[k].y1),
                  std::min<LONG>(area.right, rects[k].x2), std::min<LONG>(area.bottom, rects[k].y2)};
        renderTarget_->fill(part, color);
    }
    return D3D_OK;
}

HRESULT RecordingDevice::Present(const RECT*, const RECT*, HWND, const void*)
{
    log(TraceLine("Present"));
    ++presents_;
    return D3D_OK;
}

// ---------------------------------------------------------------------------------------------
// States

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    log(TraceLine("SetRenderState").u(state).u(value));
    if (state >= D3DRS_STATE_COUNT)
        return D3DERR_INVALIDCALL;
    renderStates_[state] = value;
    return D3D_OK;
}

HRESULT RecordingDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value)
{
    log(TraceLine("GetRenderState").u(state));
    if (!value || state >= D3DRS_STATE_COUNT)
        return D3DERR_INVALIDCALL;
    *value = renderStates_[state];
    return D3D_OK;
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    log(TraceLine("SetTextureStageState").u(stage).u(type).u(value));
    if (stage >= D3D_MAX_STAGES || type >= D3DTSS_STATE_COUNT)
        return D3DERR_INVALIDCALL;
    stageStates_[stage][type] = value;
    return D3D_OK;
}

HRESULT RecordingDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value)
{
    log(TraceLine("GetTextureStageState").u(stage).u(type));
    if (!value || stage >= D3D_MAX_STAGES || type >= D3DTSS_STATE_COUNT)
        return D3DERR_INVALIDCALL;
    *value = stageStates_[stage][type];
    return D3D_OK;
}

HRESULT RecordingDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    log(TraceLine("SetSamplerState").u(sampler).u(type).u(value));
    if (sampler >= kSamplers || type >= D3DSAMP_STATE_COUNT)
        return D3DERR_INVALIDCALL;
    samplerStates_[sampler][type] = value;
    return D3D_OK;
}

HRESULT RecordingDevice::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value)
{
    log(TraceLine("GetSamplerState").u(sampler).u(type));
    if (!value || sampler >= kSamplers || type >= D3DSAMP_STATE_COUNT)
        return D3DERR_INVALIDCALL;
    *value = samplerStates_[sampler][type];
    return D3D_OK;
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    TraceLine line("SetTransform");
    line.u(state);
    if (matrix)
        matrixFields(line, *matrix);
    else
        line.dash();
    log(line);
    if (!matrix || !validTransform(state))
        return D3DERR_INVALIDCALL;
    transforms_[state] = *matrix;
    return D3D_OK;
}

HRESULT RecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix)
{
    log(TraceLine("GetTransform").u(state));
    if (!matrix || !validTransform(state))
        return D3DERR_INVALIDCALL;
    *matrix = transform(state);
    return D3D_OK;
}

HRESULT RecordingDevice::SetViewport(const D3DVIEWPORT9* viewport)
{
    TraceLine line("SetViewport");
    if (viewport)
        line.u(viewport->X).u(viewport->Y).u(viewport->Width).u(viewport->Height).f(viewport->MinZ).f(viewport->MaxZ);
    else
        line.dash();
    log(line);
    if (!viewport)
        return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC& target = renderTarget_->desc();
    if (viewport->Width == 0 || viewport->Height == 0 || viewport->X > target.Width ||
        viewport->Y > target.Height || viewport->Width > target.Width - viewport->X ||
        viewport->Height > target.Height - viewport->Y)
        return D3DERR_INVALIDCALL;
    viewport_ = *viewport;
    return D3D_OK;
}

HRESULT RecordingDevice::GetViewport(D3DVIEWPORT9* viewport)
{
    log(TraceLine("GetViewport"));
    if (!viewport)
        return D3DERR_INVALIDCALL;
    *viewport = viewport_;
    return D3D_OK;
}

HRESULT RecordingDevice::SetScissorRect(const RECT* rect)
{
    TraceLine line("SetScissorRect");
    if (rect)
        line.i(rect->left).i(rect->top).i(rect->right).i(rect->bottom);
    else
        line.dash();
    log(line);
    if (!rect)
        return D3DERR_INVALIDCALL;
    scissor_ = *rect;
    return D3D_OK;
}

HRESULT RecordingDevice::GetScissorRect(RECT* rect)
{
    log(TraceLine("GetScissorRect"));
    if (!rect)
        return D3DERR_INVALIDCALL;
    *rect = scissor_;
    return D3D_OK;
}

HRESULT RecordingDevice::SetMaterial(const D3DMATERIAL9* material)
{
    TraceLine line("SetMaterial");
    if (material) {
        colourFields(line, material->Diffuse);
        colourFields(line, material->Ambient);
        colourFields(line, material->Specular);
        colourFields(line, material->Emissive);
        line.f(material->Power);
    } else {
        line.dash();
    }
    log(line);
    if (!material)
        return D3DERR_INVALIDCALL;
    material_ = *material;
    return D3D_OK;
}

HRESULT RecordingDevice::GetMaterial(D3DMATERIAL9* material)
{
    log(TraceLine("GetMaterial"));
    if (!material)
        return D3DERR_INVALIDCALL;
    *material = material_;
    return D3D_OK;
}

HRESULT RecordingDevice::SetLight(DWORD index, const D3DLIGHT9* light)
{
    TraceLine line("SetLight");
    line.u(index);
    if (light) {
        line.u(light->Type);
        colourFields(line, light->Diffuse);
        colourFields(line, light->Specular);
        colourFields(line, light->Ambient);
        line.f(light->Position.x).f(light->Position.y).f(light->Position.z);
        line.f(light->Direction.x).f(light->Direction.y).f(light->Direction.z);
        line.f(light->Range).f(light->Falloff).f(light->Attenuation0).f(light->Attenuation1).f(light->Attenuation2);
        line.f(light->Theta).f(light->Phi);
    } else {
        line.dash();
    }
    log(line);
    if (!light || light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL)
        return D3DERR_INVALIDCALL;
    lights_[index] = *light;
    return D3D_OK;
}

HRESULT RecordingDevice::GetLight(DWORD index, D3DLIGHT9* light)
{
    log(TraceLine("GetLight").u(index));
    auto found = lights_.find(index);
    if (!light || found == lights_.end())
        return D3DERR_INVALIDCALL;
    *light = found->second;
    return D3D_OK;
}

HRESULT RecordingDevice::LightEnable(DWORD index, BOOL enable)
{
    log(TraceLine("LightEnable").u(index).u(enable ? 1 : 0));
    if (lights_.find(index) == lights_.end())
        lights_[index] = defaultLight();
    lightEnabled_[index] = enable != FALSE;
    return D3D_OK;
}

HRESULT RecordingDevice::GetLightEnable(DWORD index, BOOL* enable)
{
    log(TraceLine("GetLightEnable").u(index));
    if (!enable || lights_.find(index) == lights_.end())
        return D3DERR_INVALIDCALL;
    *enable = lightEnabled(index) ? TRUE : FALSE;
    return D3D_OK;
}

// ---------------------------------------------------------------------------------------------
// Textures and resources

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    auto* recorded = recordingObject<RecordingTexture>(texture);
    log(TraceLine("SetTexture").u(stage).handle(handleOf(recorded)));
    if (stage >= kSamplers || (texture && !recorded))
        return D3DERR_INVALIDCALL;
    rebind(textures_[stage], recorded);
    return D3D_OK;
}

HRESULT RecordingDevice::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture)
{
    RecordingTexture* bound = stage < kSamplers ? textures_[stage] : nullptr;
    log(TraceLine("GetTexture").u(stage).handle(handleOf(bound)));
    if (!texture || stage >= kSamplers)
        return D3DERR_INVALIDCALL;
    *texture = bound;
    if (bound)
        bound->AddRef();
    return D3D_OK;
}

HRESULT RecordingDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                       D3DPOOL pool, IDirect3DTexture9** texture, HANDLE*)
{
    HRESULT result = D3D_OK;
    RecordingTexture* created = nullptr;
    const UINT chain = RecordingTexture::fullChainLength(width, height);
    if (!texture || width == 0 || height == 0 || width > caps_.MaxTextureWidth || height > caps_.MaxTextureHeight ||
        d3dBytesPerPixel(format) == 0 || levels > chain || (usage & D3DUSAGE_DEPTHSTENCIL) ||
        ((usage & (D3DUSAGE_RENDERTARGET | D3DUSAGE_DYNAMIC)) && pool != D3DPOOL_DEFAULT) ||
        pool == D3DPOOL_SCRATCH)
        result = D3DERR_INVALIDCALL;
    if (SUCCEEDED(result)) {
        std::size_t bytes = 0;
        for (UINT k = 0; k < (levels == 0 ? chain : levels); ++k)
            bytes += static_cast<std::size_t>(d3dPitch(std::max(width >> k, 1u), format)) * std::max(height >> k, 1u);
        if (!reserveMemory(bytes))
            result = D3DERR_OUTOFVIDEOMEMORY;
    }
    if (SUCCEEDED(result)) {
        created = new RecordingTexture(this, width, height, levels, usage, format, pool);
        live_.insert(created);
    }
    log(TraceLine("CreateTexture").u(width).u(height).u(levels).u(usage).u(format).u(pool).handle(handleOf(created)));
    if (texture)
        *texture = created;
    return result;
}

HRESULT RecordingDevice::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                                     IDirect3DSurface9** surface, HANDLE*)
{
    HRESULT result = D3D_OK;
    RecordingSurface* created = nullptr;
    if (!surface || width == 0 || height == 0 || width > caps_.MaxTextureWidth || height > caps_.MaxTextureHeight ||
        d3dBytesPerPixel(format) == 0 || pool == D3DPOOL_MANAGED)
        result = D3DERR_INVALIDCALL;
    else if (!reserveMemory(static_cast<std::size_t>(d3dPitch(width, format)) * height))
        result = D3DERR_OUTOFVIDEOMEMORY;
    if (SUCCEEDED(result)) {
        D3DSURFACE_DESC desc{format, D3DRTYPE_SURFACE, 0, pool, D3DMULTISAMPLE_NONE, 0, width, height};
        created = new RecordingSurface(this, desc, nullptr);
        live_.insert(created);
    }
    log(TraceLine("CreateOffscreenPlainSurface").u(width).u(height).u(format).u(pool).handle(handleOf(created)));
    if (surface)
        *surface = created;
    return result;
}

HRESULT RecordingDevice::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                                   D3DMULTISAMPLE_TYPE multiSample, DWORD multiSampleQuality,
                                                   BOOL discard, IDirect3DSurface9** surface, HANDLE*)
{
    HRESULT result = D3D_OK;
    RecordingSurface* created = nullptr;
    if (!surface || width == 0 || height == 0 || width > caps_.MaxTextureWidth || height > caps_.MaxTextureHeight ||
        (format != D3DFMT_D24S8 && format != D3DFMT_D24X8 && format != D3DFMT_D16))
        result = D3DERR_INVALIDCALL;
    if (SUCCEEDED(result)) {
        D3DSURFACE_DESC desc{format, D3DRTYPE_SURFACE, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, multiSample,
                             multiSampleQuality, width, height};
        created = new RecordingSurface(this, desc, nullptr);
        live_.insert(created);
    }
    log(TraceLine("CreateDepthStencilSurface")
            .u(width).u(height).u(format).u(multiSample).u(multiSampleQuality).u(discard ? 1 : 0)
            .handle(handleOf(created)));
    if (surface)
        *surface = created;
    return result;
}

HRESULT RecordingDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                            IDirect3DVertexBuffer9** buffer, HANDLE*)
{
    HRESULT result = D3D_OK;
    RecordingVertexBuffer* created = nullptr;
    if (!buffer || length == 0 || pool == D3DPOOL_SCRATCH)
        result = D3DERR_INVALIDCALL;
    else if (!reserveMemory(length))
        result = D3DERR_OUTOFVIDEOMEMORY;
    if (SUCCEEDED(result)) {
        created = new RecordingVertexBuffer(this, length, usage, fvf, pool);
        live_.insert(created);
    }
    log(TraceLine("CreateVertexBuffer").u(length).u(usage).u(fvf).u(pool).handle(handleOf(created)));
    if (buffer)
        *buffer = created;
    return result;
}

HRESULT RecordingDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           IDirect3DIndexBuffer9** buffer, HANDLE*)
{
    HRESULT result = D3D_OK;
    RecordingIndexBuffer* created = nullptr;
    if (!buffer || length == 0 || pool == D3DPOOL_SCRATCH || (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        result = D3DERR_INVALIDCALL;
    else if (!reserveMemory(length))
        result = D3DERR_OUTOFVIDEOMEMORY;
    if (SUCCEEDED(result)) {
        created = new RecordingIndexBuffer(this, length, usage, format, pool);
        live_.insert(created);
    }
    log(TraceLine("CreateIndexBuffer").u(length).u(usage).u(format).u(pool).handle(handleOf(created)));
    if (buffer)
        *buffer = created;
    return result;
}

// ---------------------------------------------------------------------------------------------
// Targets

HRESULT RecordingDevice::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                                       IDirect3DSurface9** surface)
{
    const bool valid = swapChain == 0 && index == 0;
    log(TraceLine("GetBackBuffer").u(swapChain).u(index).u(type).handle(valid ? handleOf(backBuffer_) : 0));
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = valid ? backBuffer_ : nullptr;
    if (!valid)
        return D3DERR_INVALIDCALL;
    backBuffer_->AddRef();
    return D3D_OK;
}

HRESULT RecordingDevice::SetRenderTarget(DWORD index, IDirect3DSurface9* surface)
{
    auto* recorded = recordingObject<RecordingSurface>(surface);
    log(TraceLine("SetRenderTarget").u(index).handle(handleOf(recorded)));
    if (index != 0 || !recorded || !(recorded->desc().Usage & D3DUSAGE_RENDERTARGET))
        return D3DERR_INVALIDCALL;
    rebind(renderTarget_, recorded);
    resetViewportTo(*recorded);
    return D3D_OK;
}

HRESULT RecordingDevice::GetRenderTarget(DWORD index, IDirect3DSurface9** surface)
{
    RecordingSurface* target = index == 0 ? renderTarget_ : nullptr;
    log(TraceLine("GetRenderTarget").u(index).handle(handleOf(target)));
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = target;
    if (!target)
        return D3DERR_NOTAVAILABLE;
    target->AddRef();
    return D3D_OK;
}

HRESULT RecordingDevice::SetDepthStencilSurface(IDirect3DSurface9* surface)
{
    auto* recorded = recordingObject<RecordingSurface>(surface);
    log(TraceLine("SetDepthStencilSurface").handle(handleOf(recorded)));
    if ((surface && !recorded) || (recorded && !(recorded->desc().Usage & D3DUSAGE_DEPTHSTENCIL)))
        return D3DERR_INVALIDCALL;
    rebind(depthStencil_, recorded);
    return D3D_OK;
}

HRESULT RecordingDevice::GetDepthStencilSurface(IDirect3DSurface9** surface)
{
    log(TraceLine("GetDepthStencilSurface").handle(handleOf(depthStencil_)));
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = depthStencil_;
    if (!depthStencil_)
        return D3DERR_NOTAVAILABLE;
    depthStencil_->AddRef();
    return D3D_OK;
}

HRESULT RecordingDevice::GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destSurface)
{
    auto* source = recordingObject<RecordingSurface>(renderTarget);
    auto* dest = recordingObject<RecordingSurface>(destSurface);
    log(TraceLine("GetRenderTargetData").handle(handleOf(source)).handle(handleOf(dest)));
    if (!source || !dest || !(source->desc().Usage & D3DUSAGE_RENDERTARGET) ||
        dest->desc().Pool != D3DPOOL_SYSTEMMEM || source->desc().Width != dest->desc().Width ||
        source->desc().Height != dest->desc().Height || source->desc().Format != dest->desc().Format)
        return D3DERR_INVALIDCALL;
    std::copy(source->bits(), source->bits() + static_cast<std::size_t>(source->pitch()) * source->desc().Height,
              dest->bits());
    return D3D_OK;
}

// ---------------------------------------------------------------------------------------------
// Vertex input and draws

HRESULT RecordingDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offsetInBytes, UINT stride)
{
    auto* recorded = recordingObject<RecordingVertexBuffer>(buffer);
    log(TraceLine("SetStreamSource").u(stream).handle(handleOf(recorded)).u(offsetInBytes).u(stride));
    if (stream >= kStreams || (buffer && !recorded))
        return D3DERR_INVALIDCALL;
    rebind(streamBuffers_[stream], recorded);
    streamOffsets_[stream] = offsetInBytes;
    streamStrides_[stream] = stride;
    return D3D_OK;
}

HRESULT RecordingDevice::SetIndices(IDirect3DIndexBuffer9* indexBuffer)
{
    auto* recorded = recordingObject<RecordingIndexBuffer>(indexBuffer);
    log(TraceLine("SetIndices").handle(handleOf(recorded)));
    if (indexBuffer && !recorded)
        return D3DERR_INVALIDCALL;
    rebind(indices_, recorded);
    return D3D_OK;
}

HRESULT RecordingDevice::SetFVF(DWORD fvf)
{
    log(TraceLine("SetFVF").u(fvf));
    fvf_ = fvf;
    return D3D_OK;
}

HRESULT RecordingDevice::GetFVF(DWORD* fvf)
{
    log(TraceLine("GetFVF"));
    if (!fvf)
        return D3DERR_INVALIDCALL;
    *fvf = fvf_;
    return D3D_OK;
}

HRESULT RecordingDevice::SetVertexShader(IDirect3DVertexShader9* shader)
{
    log(TraceLine("SetVertexShader").handle(0));
    return shader ? D3DERR_INVALIDCALL : D3D_OK;
}

HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    log(TraceLine("DrawPrimitive").u(type).u(startVertex).u(primitiveCount));
    if (!inScene_ || !streamBuffers_[0])
        return D3DERR_INVALIDCALL;
    ++draws_;
    return D3D_OK;
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int baseVertexIndex, UINT minVertexIndex,
                                              UINT numVertices, UINT startIndex, UINT primitiveCount)
{
    log(TraceLine("DrawIndexedPrimitive")
            .u(type).i(baseVertexIndex).u(minVertexIndex).u(numVertices).u(startIndex).u(primitiveCount));
    if (!inScene_ || !streamBuffers_[0] || !indices_)
        return D3DERR_INVALIDCALL;
    ++draws_;
    return D3D_OK;
}

HRESULT RecordingDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                                         UINT vertexStride)
{
    const std::size_t bytes = static_cast<std::size_t>(d3dVertexCount(type, primitiveCount)) * vertexStride;
    log(TraceLine("DrawPrimitiveUP").u(type).u(primitiveCount).u(vertexStride).hex(vertexData, bytes));
    rebind(streamBuffers_[0], static_cast<RecordingVertexBuffer*>(nullptr));
    streamOffsets_[0] = streamStrides_[0] = 0;
    if (!inScene_ || !vertexData || bytes == 0)
        return D3DERR_INVALIDCALL;
    ++draws_;
    return D3D_OK;
}

HRESULT RecordingDevice::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                                UINT primitiveCount, const void* indexData, D3DFORMAT indexFormat,
                                                const void* vertexData, UINT vertexStride)
{
    const std::size_t indexSize = indexFormat == D3DFMT_INDEX32 ? 4 : 2;
    const std::size_t indexBytes = static_cast<std::size_t>(d3dVertexCount(type, primitiveCount)) * indexSize;
    const std::size_t vertexBytes = (static_cast<std::size_t>(minVertexIndex) + numVertices) * vertexStride;
    log(TraceLine("DrawIndexedPrimitiveUP")
            .u(type).u(minVertexIndex).u(numVertices).u(primitiveCount).u(indexFormat).u(vertexStride)
            .hex(indexData, indexBytes).hex(vertexData, vertexBytes));
    rebind(streamBuffers_[0], static_cast<RecordingVertexBuffer*>(nullptr));
    streamOffsets_[0] = streamStrides_[0] = 0;
    rebind(indices_, static_cast<RecordingIndexBuffer*>(nullptr));
    if (!inScene_ || !indexData || !vertexData || indexBytes == 0 || vertexBytes == 0 ||
        (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    ++draws_;
    return D3D_OK;
}
