// The recording device's lifetime, call log, inspection getters and its backend: resources in
// memory, clears that fill the target's bytes, draws and presents that only count.
#include "platform/d3d9/recording/recording_device.h"

#include "platform/d3d9/core/device_caps.h"

#include <algorithm>
#include <ostream>

RecordingDevice::RecordingDevice(UINT width, UINT height, D3DFORMAT format, D3DFORMAT autoDepthFormat)
    : DeviceCore(*this, d3dcore::deviceCaps()), autoDepthFormat_(autoDepthFormat)
{
    D3DSURFACE_DESC desc{};
    desc.Format = format;
    desc.Type = D3DRTYPE_SURFACE;
    desc.Usage = D3DUSAGE_RENDERTARGET;
    desc.Pool = D3DPOOL_DEFAULT;
    desc.Width = width;
    desc.Height = height;
    auto* backBuffer = new RecordingSurface(this, desc, nullptr);
    live_.insert(backBuffer);
    if (autoDepthFormat != D3DFMT_UNKNOWN) {
        desc.Format = autoDepthFormat;
        desc.Usage = D3DUSAGE_DEPTHSTENCIL;
        autoDepth_ = new RecordingSurface(this, desc, nullptr);
        live_.insert(autoDepth_);
        // The device keeps its automatic depth surface even while another one is set.
        autoDepth_->AddRef();
    }
    start(backBuffer, autoDepth_);
}

RecordingDevice::~RecordingDevice()
{
    destroying_ = true;
    releaseBindings();
    safeRelease(autoDepth_);
    // Whatever the application still holds keeps working but stops logging.
    for (RecordingResource* resource : live_)
        resource->orphan();
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

unsigned RecordingDevice::handleOf(IUnknown* object)
{
    return handleOf(object ? dynamic_cast<RecordingResource*>(object) : nullptr);
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
    if (resource->traceHandle != 0) {
        RecordingLogWriter writer{this};
        traceWrite<tracecall::Release>(writer, D3D_OK, resource->traceHandle);
    }
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
    const D3DSURFACE_DESC& desc = backBuffer()->desc();
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

// ---------------------------------------------------------------------------------------------
// Accessors

DWORD RecordingDevice::renderState(D3DRENDERSTATETYPE state) const
{
    return state < D3DRS_STATE_COUNT ? state_.renderStates[state] : 0;
}

DWORD RecordingDevice::stageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type) const
{
    return stage < D3D_MAX_STAGES && type < D3DTSS_STATE_COUNT ? state_.stageStates[stage][type] : 0;
}

DWORD RecordingDevice::samplerState(DWORD sampler, D3DSAMPLERSTATETYPE type) const
{
    return sampler < kSamplers && type < D3DSAMP_STATE_COUNT ? state_.samplerStates[sampler][type] : 0;
}

D3DMATRIX RecordingDevice::transform(D3DTRANSFORMSTATETYPE type) const
{
    const D3DMATRIX* matrix = state_.transform(type);
    return matrix ? *matrix : identityMatrix();
}

const D3DLIGHT9* RecordingDevice::light(DWORD index) const
{
    const d3dcore::LightSlot* slot = state_.findLight(index);
    return slot ? &slot->light : nullptr;
}

bool RecordingDevice::lightEnabled(DWORD index) const
{
    const d3dcore::LightSlot* slot = state_.findLight(index);
    return slot && slot->enabled;
}

// ---------------------------------------------------------------------------------------------
// The backend

bool RecordingDevice::owns(IUnknown* object, d3dcore::ObjectKind kind) const
{
    switch (kind) {
    case d3dcore::ObjectKind::Texture: return dynamic_cast<RecordingTexture*>(object) != nullptr;
    case d3dcore::ObjectKind::Surface: return dynamic_cast<RecordingSurface*>(object) != nullptr;
    case d3dcore::ObjectKind::VertexBuffer: return dynamic_cast<RecordingVertexBuffer*>(object) != nullptr;
    case d3dcore::ObjectKind::IndexBuffer: return dynamic_cast<RecordingIndexBuffer*>(object) != nullptr;
    }
    return false;
}

D3DSURFACE_DESC RecordingDevice::surfaceDesc(IDirect3DSurface9* surface) const
{
    return static_cast<RecordingSurface*>(surface)->desc();
}

UINT RecordingDevice::vertexBufferLength(IDirect3DVertexBuffer9* buffer) const
{
    return static_cast<UINT>(static_cast<RecordingVertexBuffer*>(buffer)->bytes().size());
}

UINT RecordingDevice::indexBufferLength(IDirect3DIndexBuffer9* buffer) const
{
    return static_cast<UINT>(static_cast<RecordingIndexBuffer*>(buffer)->bytes().size());
}

UINT RecordingDevice::indexSize(IDirect3DIndexBuffer9* buffer) const
{
    return d3dIndexSize(static_cast<RecordingIndexBuffer*>(buffer)->desc().Format);
}

void RecordingDevice::indexRange(IDirect3DIndexBuffer9* buffer, UINT first, UINT count, UINT* lowest, UINT* highest)
{
    auto* indices = static_cast<RecordingIndexBuffer*>(buffer);
    const UINT size = indexSize(buffer);
    d3dIndexRange(indices->bytes().data() + std::size_t{first} * size, count, size, lowest, highest);
}

HRESULT RecordingDevice::createTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                       D3DPOOL pool, IDirect3DTexture9** texture)
{
    std::size_t bytes = 0;
    for (UINT k = 0; k < levels; ++k)
        bytes += static_cast<std::size_t>(d3dPitch(std::max(width >> k, 1u), format)) * std::max(height >> k, 1u);
    if (!reserveMemory(bytes)) return D3DERR_OUTOFVIDEOMEMORY;
    auto* created = new RecordingTexture(this, width, height, levels, usage, format, pool);
    live_.insert(created);
    *texture = created;
    return D3D_OK;
}

HRESULT RecordingDevice::createPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                            IDirect3DSurface9** surface)
{
    if (!reserveMemory(static_cast<std::size_t>(d3dPitch(width, format)) * height)) return D3DERR_OUTOFVIDEOMEMORY;
    D3DSURFACE_DESC desc{format, D3DRTYPE_SURFACE, 0, pool, D3DMULTISAMPLE_NONE, 0, width, height};
    auto* created = new RecordingSurface(this, desc, nullptr);
    live_.insert(created);
    *surface = created;
    return D3D_OK;
}

HRESULT RecordingDevice::createDepthSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface9** surface)
{
    D3DSURFACE_DESC desc{format, D3DRTYPE_SURFACE, D3DUSAGE_DEPTHSTENCIL, D3DPOOL_DEFAULT, D3DMULTISAMPLE_NONE, 0,
                         width, height};
    auto* created = new RecordingSurface(this, desc, nullptr);
    live_.insert(created);
    *surface = created;
    return D3D_OK;
}

HRESULT RecordingDevice::createVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                            IDirect3DVertexBuffer9** buffer)
{
    if (!reserveMemory(length)) return D3DERR_OUTOFVIDEOMEMORY;
    auto* created = new RecordingVertexBuffer(this, length, usage, fvf, pool);
    live_.insert(created);
    *buffer = created;
    return D3D_OK;
}

HRESULT RecordingDevice::createIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           IDirect3DIndexBuffer9** buffer)
{
    if (!reserveMemory(length)) return D3DERR_OUTOFVIDEOMEMORY;
    auto* created = new RecordingIndexBuffer(this, length, usage, format, pool);
    live_.insert(created);
    *buffer = created;
    return D3D_OK;
}

void RecordingDevice::clear(DWORD flags, D3DCOLOR color, float, DWORD, const RECT& area)
{
    if (flags & D3DCLEAR_TARGET) renderTarget()->fill(area, color);
}

void RecordingDevice::readBack(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destSurface)
{
    auto* source = static_cast<RecordingSurface*>(renderTarget);
    auto* dest = static_cast<RecordingSurface*>(destSurface);
    std::copy(source->bits(), source->bits() + static_cast<std::size_t>(source->pitch()) * source->desc().Height,
              dest->bits());
}
