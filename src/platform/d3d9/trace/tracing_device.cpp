// The tracing device's lifetime, its wrappers' registry and what it holds: every binding
// keeps a reference on the wrapper bound, as a Direct3D 9 device does, so an object is
// released in the trace only once the program and the device are both done with it.
#include "platform/d3d9/trace/tracing_device.h"

#include <ostream>

TracingDevice::TracingDevice(IDirect3DDevice9* inner, const TraceHeader& header) : inner_(inner), header_(header)
{
    inner_->AddRef();
}

TracingDevice::~TracingDevice()
{
    out_ = nullptr;
    for (auto& slot : textures_) hold(slot, nullptr);
    for (auto& slot : renderTargets_) hold(slot, nullptr);
    hold(depthStencil_, nullptr);
    for (auto& stream : streams_) hold(stream.buffer, nullptr);
    hold(indices_, nullptr);
    for (TracedSurface* surface : deviceSurfaces_) surface->Release();
    // Whatever the program still holds keeps working on the inner device, untraced.
    for (auto& entry : byInner_) entry.second->orphan();
    inner_->Release();
}

ULONG TracingDevice::Release()
{
    const ULONG left = --refs_;
    if (left == 0) delete this;
    return left;
}

unsigned TracingDevice::handleOf(IUnknown* object)
{
    auto* traced = object ? dynamic_cast<TracedResource*>(object) : nullptr;
    if (!traced) return 0;
    if (traced->traceHandle == 0) traced->traceHandle = nextHandle_++;
    return traced->traceHandle;
}

void TracingDevice::emit(const TraceLine& line)
{
    if (out_) *out_ << line.str() << '\n';
}

TracedResource* TracingDevice::registered(TracedResource* resource)
{
    resource->sequence = nextSequence_++;
    byInner_[resource->innerObject()] = resource;
    live_[resource->sequence] = resource;
    return resource;
}

IDirect3DTexture9* TracingDevice::wrapNew(IDirect3DTexture9* texture)
{
    auto* wrapper = new TracedTexture(this, texture);
    registered(wrapper);
    return wrapper;
}

IDirect3DSurface9* TracingDevice::wrapNew(IDirect3DSurface9* surface)
{
    auto* wrapper = new TracedSurface(this, surface);
    registered(wrapper);
    return wrapper;
}

IDirect3DVertexBuffer9* TracingDevice::wrapNew(IDirect3DVertexBuffer9* buffer)
{
    auto* wrapper = new TracedVertexBuffer(this, buffer);
    registered(wrapper);
    return wrapper;
}

IDirect3DIndexBuffer9* TracingDevice::wrapNew(IDirect3DIndexBuffer9* buffer)
{
    auto* wrapper = new TracedIndexBuffer(this, buffer);
    registered(wrapper);
    return wrapper;
}

IDirect3DBaseTexture9* TracingDevice::wrapFound(IDirect3DBaseTexture9* texture)
{
    auto found = byInner_.find(texture);
    if (found == byInner_.end()) return texture; // not made through us: handed on as it is
    auto* wrapper = dynamic_cast<TracedTexture*>(found->second);
    if (!wrapper) return texture;
    wrapper->AddRef();
    texture->Release();
    return wrapper;
}

IDirect3DSurface9* TracingDevice::wrapFound(IDirect3DSurface9* surface)
{
    auto found = byInner_.find(surface);
    if (found != byInner_.end()) {
        if (auto* wrapper = dynamic_cast<TracedSurface*>(found->second)) {
            wrapper->AddRef();
            surface->Release();
            return wrapper;
        }
        return surface;
    }
    // A surface the program never made: one of the device's own (note() says which).
    auto* wrapper = new TracedSurface(this, surface);
    wrapper->sequence = nextSequence_++;
    byInner_[surface] = wrapper;
    return wrapper;
}

void TracingDevice::adoptLevel(TracedSurface* level)
{
    level->sequence = nextSequence_++;
    byInner_[level->innerObject()] = level;
}

void TracingDevice::retire(TracedResource* resource)
{
    byInner_.erase(resource->innerObject());
    live_.erase(resource->sequence);
    if (auto* texture = dynamic_cast<TracedTexture*>(resource))
        for (UINT level = 0; level < texture->levelCount(); ++level)
            if (TracedSurface* surface = texture->levelSurface(level)) byInner_.erase(surface->innerObject());
    if (out_ && resource->traceHandle != 0) traceWrite<tracecall::Release>(*this, D3D_OK, resource->traceHandle);
}

void TracingDevice::keepDeviceSurface(IDirect3DSurface9* surface, TracedOrigin origin)
{
    auto* wrapper = surface ? dynamic_cast<TracedSurface*>(surface) : nullptr;
    if (!wrapper || wrapper->container() || wrapper->origin != TracedOrigin::Created || live_.count(wrapper->sequence))
        return;
    wrapper->origin = origin;
    wrapper->AddRef();
    deviceSurfaces_.push_back(wrapper);
}

void TracingDevice::hold(TracedResource*& slot, IUnknown* object)
{
    auto* traced = object ? dynamic_cast<TracedResource*>(object) : nullptr;
    if (traced) dynamic_cast<IUnknown*>(traced)->AddRef();
    if (slot) dynamic_cast<IUnknown*>(slot)->Release();
    slot = traced;
}

// ---------------------------------------------------------------------------------------------
// What the device holds

void TracingDevice::note(tracecall::SetTexture, HRESULT hr, DWORD stage, IDirect3DBaseTexture9* texture)
{
    if (hr >= 0 && stage < kSamplers) hold(textures_[stage], texture);
}

void TracingDevice::note(tracecall::SetRenderTarget, HRESULT hr, DWORD index, IDirect3DSurface9* surface)
{
    if (hr < 0 || index >= kRenderTargets) return;
    hold(renderTargets_[index], surface);
    if (index == 0) renderTargetSet_ = true;
}

void TracingDevice::note(tracecall::SetDepthStencilSurface, HRESULT hr, IDirect3DSurface9* surface)
{
    if (hr < 0) return;
    hold(depthStencil_, surface);
    depthStencilSet_ = true;
}

void TracingDevice::note(tracecall::SetStreamSource, HRESULT hr, UINT stream, IDirect3DVertexBuffer9* buffer,
                         UINT offset, UINT stride)
{
    if (hr < 0 || stream >= kStreams) return;
    hold(streams_[stream].buffer, buffer);
    streams_[stream].offset = offset;
    streams_[stream].stride = stride;
}

void TracingDevice::note(tracecall::SetIndices, HRESULT hr, IDirect3DIndexBuffer9* buffer)
{
    if (hr >= 0) hold(indices_, buffer);
}

void TracingDevice::note(tracecall::SetLight, HRESULT hr, DWORD index, const D3DLIGHT9*)
{
    if (hr >= 0) lights_.insert(index);
}

void TracingDevice::note(tracecall::LightEnable, HRESULT hr, DWORD index, BOOL)
{
    if (hr >= 0) lights_.insert(index);
}

// A user-pointer draw leaves stream 0 (and the indices) unset.
void TracingDevice::note(tracecall::DrawPrimitiveUP, HRESULT hr, D3DPRIMITIVETYPE, UINT, const void*, UINT)
{
    if (hr < 0) return;
    hold(streams_[0].buffer, nullptr);
    streams_[0] = Stream{};
}

void TracingDevice::note(tracecall::DrawIndexedPrimitiveUP, HRESULT hr, D3DPRIMITIVETYPE, UINT, UINT, UINT,
                         const void*, D3DFORMAT, const void*, UINT)
{
    if (hr < 0) return;
    hold(streams_[0].buffer, nullptr);
    streams_[0] = Stream{};
    hold(indices_, nullptr);
}

void TracingDevice::note(tracecall::CreateTexture, HRESULT hr, UINT width, UINT height, UINT, DWORD usage,
                         D3DFORMAT format, D3DPOOL pool, IDirect3DTexture9** texture, HANDLE*)
{
    if (auto* wrapper = hr >= 0 && texture ? dynamic_cast<TracedTexture*>(*texture) : nullptr)
        wrapper->describe(width, height, usage, format, pool);
}

void TracingDevice::note(tracecall::CreateOffscreenPlainSurface, HRESULT hr, UINT width, UINT height,
                         D3DFORMAT format, D3DPOOL pool, IDirect3DSurface9** surface, HANDLE*)
{
    if (auto* wrapper = hr >= 0 && surface ? dynamic_cast<TracedSurface*>(*surface) : nullptr) {
        wrapper->created = D3DSURFACE_DESC{format, D3DRTYPE_SURFACE, 0, pool, D3DMULTISAMPLE_NONE, 0, width, height};
        wrapper->shadow().width = width;
        wrapper->shadow().height = height;
        wrapper->shadow().format = format;
    }
}

void TracingDevice::note(tracecall::CreateDepthStencilSurface, HRESULT hr, UINT width, UINT height,
                         D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample, DWORD quality, BOOL,
                         IDirect3DSurface9** surface, HANDLE*)
{
    if (auto* wrapper = hr >= 0 && surface ? dynamic_cast<TracedSurface*>(*surface) : nullptr)
        wrapper->created = D3DSURFACE_DESC{format,  D3DRTYPE_SURFACE, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT,
                                           multiSample, quality, width, height};
}

void TracingDevice::note(tracecall::CreateVertexBuffer, HRESULT hr, UINT length, DWORD usage, DWORD fvf,
                         D3DPOOL pool, IDirect3DVertexBuffer9** buffer, HANDLE*)
{
    if (auto* wrapper = hr >= 0 && buffer ? dynamic_cast<TracedVertexBuffer*>(*buffer) : nullptr)
        wrapper->describe(length, usage, fvf, pool);
}

void TracingDevice::note(tracecall::CreateIndexBuffer, HRESULT hr, UINT length, DWORD usage, D3DFORMAT format,
                         D3DPOOL pool, IDirect3DIndexBuffer9** buffer, HANDLE*)
{
    if (auto* wrapper = hr >= 0 && buffer ? dynamic_cast<TracedIndexBuffer*>(*buffer) : nullptr)
        wrapper->describe(length, usage, format, pool);
}

void TracingDevice::note(tracecall::GetBackBuffer, HRESULT hr, UINT, UINT, D3DBACKBUFFER_TYPE,
                         IDirect3DSurface9** surface)
{
    if (hr >= 0 && surface) keepDeviceSurface(*surface, TracedOrigin::BackBuffer);
}

void TracingDevice::note(tracecall::GetRenderTarget, HRESULT hr, DWORD, IDirect3DSurface9** surface)
{
    // A render target the program never set is the back buffer.
    if (hr >= 0 && surface) keepDeviceSurface(*surface, TracedOrigin::BackBuffer);
}

void TracingDevice::note(tracecall::GetDepthStencilSurface, HRESULT hr, IDirect3DSurface9** surface)
{
    if (hr >= 0 && surface) keepDeviceSurface(*surface, TracedOrigin::AutoDepth);
}
