// The tracing device's wrappers: each call goes to the inner object and, while a trace is
// open, into the trace; what the program writes through a lock is kept in the shadow.
#include "platform/d3d9/trace/traced_resources.h"

#include "platform/d3d9/d3d9_helpers.h"
#include "platform/d3d9/trace/tracing_device.h"

#include <algorithm>
#include <cstring>

// ---------------------------------------------------------------------------------------------
// Shadows

void PixelShadow::locked(const D3DLOCKED_RECT& rect, const RECT* area, DWORD flags, bool traced)
{
    lock.active = true;
    lock.traced = traced;
    lock.bits = static_cast<std::uint8_t*>(rect.pBits);
    lock.pitch = rect.Pitch;
    lock.area = area ? *area : RECT{0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    lock.flags = flags;
}

std::vector<std::uint8_t> PixelShadow::unlocking()
{
    lock.active = false;
    const std::size_t bpp = d3dBytesPerPixel(format);
    const RECT& a = lock.area;
    if ((lock.flags & D3DLOCK_READONLY) || !lock.bits || bpp == 0 || a.left < 0 || a.top < 0 || a.right <= a.left ||
        a.bottom <= a.top || static_cast<UINT>(a.right) > width || static_cast<UINT>(a.bottom) > height)
        return {};
    const std::size_t rowBytes = static_cast<std::size_t>(a.right - a.left) * bpp;
    const std::size_t rows = static_cast<std::size_t>(a.bottom - a.top);
    const std::size_t shadowPitch = std::size_t{width} * bpp;
    if (bytes.empty()) bytes.assign(shadowPitch * height, 0);
    std::vector<std::uint8_t> written(rowBytes * rows);
    for (std::size_t row = 0; row < rows; ++row) {
        const std::uint8_t* from = lock.bits + row * static_cast<std::size_t>(lock.pitch);
        std::memcpy(written.data() + row * rowBytes, from, rowBytes);
        std::memcpy(bytes.data() + (a.top + row) * shadowPitch + a.left * bpp, from, rowBytes);
    }
    return written;
}

void BufferShadow::locked(void* bits, UINT offset, UINT size, DWORD flags, bool traced)
{
    lock = Lock{true, traced, static_cast<std::uint8_t*>(bits), offset,
                size == 0 && offset <= bytes.size() ? static_cast<UINT>(bytes.size() - offset) : size, flags};
}

const std::uint8_t* BufferShadow::unlocking(std::size_t& size)
{
    lock.active = false;
    size = 0;
    if ((lock.flags & D3DLOCK_READONLY) || !lock.bits || lock.offset > bytes.size() ||
        lock.size > bytes.size() - lock.offset)
        return nullptr;
    std::memcpy(bytes.data() + lock.offset, lock.bits, lock.size);
    written = true;
    size = lock.size;
    return bytes.data() + lock.offset;
}

// ---------------------------------------------------------------------------------------------
// TracedResource

TracedResource::TracedResource(TracingDevice* tracer) : tracer_(tracer) {}

HRESULT TracedResource::deviceFor(IDirect3DDevice9** device) const
{
    if (!device) return D3DERR_INVALIDCALL;
    *device = tracer_;
    if (!tracer_) return D3DERR_INVALIDCALL;
    tracer_->AddRef();
    return D3D_OK;
}

void TracedResource::retire()
{
    if (tracer_) tracer_->retire(this);
}

// ---------------------------------------------------------------------------------------------
// TracedSurface

TracedSurface::TracedSurface(TracingDevice* tracer, IDirect3DSurface9* inner, TracedTexture* container,
                             PixelShadow* levelShadow)
    : TracedResource(tracer), inner_(inner), container_(container), shadow_(levelShadow ? levelShadow : &ownShadow_)
{
    if (container) origin = TracedOrigin::TextureLevel;
}

TracedSurface::~TracedSurface() { inner_->Release(); }

ULONG TracedSurface::AddRef() { return container_ ? container_->AddRef() : ++refs_; }

ULONG TracedSurface::Release()
{
    if (container_) return container_->Release();
    const ULONG left = --refs_;
    if (left == 0) {
        retire();
        delete this;
    }
    return left;
}

HRESULT TracedSurface::GetDesc(D3DSURFACE_DESC* desc)
{
    if (tracer_) tracer_->write<tracecall::SurfaceGetDesc>(D3D_OK, this);
    return inner_->GetDesc(desc);
}

HRESULT TracedSurface::LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags)
{
    const bool traced = tracer_ && tracer_->tracing();
    if (tracer_) tracer_->write<tracecall::SurfaceLockRect>(D3D_OK, this, rect, flags);
    const HRESULT hr = inner_->LockRect(lockedRect, rect, flags);
    if (hr >= 0 && lockedRect) shadow_->locked(*lockedRect, rect, flags, traced);
    return hr;
}

HRESULT TracedSurface::UnlockRect()
{
    std::vector<std::uint8_t> written;
    if (shadow_->lock.active) {
        const PixelShadow::Lock lock = shadow_->lock;
        written = shadow_->unlocking();
        // A lock taken before the trace opened is written where its data arrives.
        if (tracer_ && tracer_->tracing() && !lock.traced)
            tracer_->write<tracecall::SurfaceLockRect>(D3D_OK, this, &lock.area, lock.flags);
    }
    if (tracer_) tracer_->write<tracecall::SurfaceUnlockRect>(D3D_OK, this, tracefield::Bytes{written.data(), written.size()});
    return inner_->UnlockRect();
}

// ---------------------------------------------------------------------------------------------
// TracedTexture

TracedTexture::TracedTexture(TracingDevice* tracer, IDirect3DTexture9* inner) : TracedResource(tracer), inner_(inner)
{
}

void TracedTexture::describe(UINT w, UINT h, DWORD u, D3DFORMAT f, D3DPOOL p)
{
    width = w;
    height = h;
    usage = u;
    format = f;
    pool = p;
    const UINT levels = inner_->GetLevelCount();
    shadows_.resize(levels);
    levels_.resize(levels);
    for (UINT k = 0; k < levels; ++k) {
        shadows_[k].width = std::max(w >> k, 1u);
        shadows_[k].height = std::max(h >> k, 1u);
        shadows_[k].format = f;
    }
}

TracedTexture::~TracedTexture()
{
    levels_.clear();
    inner_->Release();
}

ULONG TracedTexture::Release()
{
    const ULONG left = --refs_;
    if (left == 0) {
        retire();
        delete this;
    }
    return left;
}

void TracedTexture::orphan()
{
    TracedResource::orphan();
    for (auto& level : levels_)
        if (level) level->orphan();
}

HRESULT TracedTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
    if (tracer_) tracer_->write<tracecall::TextureGetLevelDesc>(D3D_OK, this, level);
    return inner_->GetLevelDesc(level, desc);
}

HRESULT TracedTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface)
{
    HRESULT hr = D3DERR_INVALIDCALL;
    if (surface && level < levels_.size() && levels_[level]) {
        *surface = levels_[level].get();
        AddRef();
        hr = D3D_OK;
    } else {
        IDirect3DSurface9* inner = nullptr;
        hr = inner_->GetSurfaceLevel(level, surface ? &inner : nullptr);
        if (surface) *surface = inner;
        if (hr >= 0 && inner && level < levels_.size()) {
            // The wrapper keeps the inner surface's reference while the texture lives.
            levels_[level] = std::make_unique<TracedSurface>(tracer_, inner, this, &shadows_[level]);
            if (tracer_) tracer_->adoptLevel(levels_[level].get());
            *surface = levels_[level].get();
            AddRef();
        }
    }
    if (tracer_) tracer_->write<tracecall::TextureGetSurfaceLevel>(hr, this, level, surface);
    return hr;
}

HRESULT TracedTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags)
{
    const bool traced = tracer_ && tracer_->tracing();
    if (tracer_) tracer_->write<tracecall::TextureLockRect>(D3D_OK, this, level, rect, flags);
    const HRESULT hr = inner_->LockRect(level, lockedRect, rect, flags);
    if (hr >= 0 && lockedRect && level < shadows_.size()) shadows_[level].locked(*lockedRect, rect, flags, traced);
    return hr;
}

HRESULT TracedTexture::UnlockRect(UINT level)
{
    std::vector<std::uint8_t> written;
    if (level < shadows_.size() && shadows_[level].lock.active) {
        const PixelShadow::Lock lock = shadows_[level].lock;
        written = shadows_[level].unlocking();
        if (tracer_ && tracer_->tracing() && !lock.traced)
            tracer_->write<tracecall::TextureLockRect>(D3D_OK, this, level, &lock.area, lock.flags);
    }
    if (tracer_)
        tracer_->write<tracecall::TextureUnlockRect>(D3D_OK, this, level, tracefield::Bytes{written.data(), written.size()});
    return inner_->UnlockRect(level);
}

// ---------------------------------------------------------------------------------------------
// Buffers

namespace {

template <class Buffer, class Lock, class Unlock>
HRESULT unlockTraced(Buffer* buffer, TracingDevice* tracer, BufferShadow& shadow)
{
    std::size_t size = 0;
    const std::uint8_t* written = nullptr;
    if (shadow.lock.active) {
        const BufferShadow::Lock lock = shadow.lock;
        written = shadow.unlocking(size);
        if (tracer && tracer->tracing() && !lock.traced)
            tracer->write<Lock>(D3D_OK, buffer, lock.offset, lock.size, lock.flags);
    }
    if (tracer) tracer->write<Unlock>(D3D_OK, buffer, tracefield::Bytes{written, size});
    return buffer->inner()->Unlock();
}

} // namespace

void TracedVertexBuffer::describe(UINT length, DWORD u, DWORD f, D3DPOOL p)
{
    usage = u;
    fvf = f;
    pool = p;
    shadow_.bytes.assign(length, 0);
}

TracedVertexBuffer::~TracedVertexBuffer() { inner_->Release(); }

ULONG TracedVertexBuffer::Release()
{
    const ULONG left = --refs_;
    if (left == 0) {
        retire();
        delete this;
    }
    return left;
}

HRESULT TracedVertexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags)
{
    const bool traced = tracer_ && tracer_->tracing();
    if (tracer_) tracer_->write<tracecall::VertexBufferLock>(D3D_OK, this, offset, size, flags);
    const HRESULT hr = inner_->Lock(offset, size, data, flags);
    if (hr >= 0 && data) shadow_.locked(*data, offset, size, flags, traced);
    return hr;
}

HRESULT TracedVertexBuffer::Unlock()
{
    return unlockTraced<TracedVertexBuffer, tracecall::VertexBufferLock, tracecall::VertexBufferUnlock>(this, tracer_,
                                                                                                     shadow_);
}

HRESULT TracedVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc)
{
    if (tracer_) tracer_->write<tracecall::VertexBufferGetDesc>(D3D_OK, this);
    return inner_->GetDesc(desc);
}

void TracedIndexBuffer::describe(UINT length, DWORD u, D3DFORMAT f, D3DPOOL p)
{
    usage = u;
    format = f;
    pool = p;
    shadow_.bytes.assign(length, 0);
}

TracedIndexBuffer::~TracedIndexBuffer() { inner_->Release(); }

ULONG TracedIndexBuffer::Release()
{
    const ULONG left = --refs_;
    if (left == 0) {
        retire();
        delete this;
    }
    return left;
}

HRESULT TracedIndexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags)
{
    const bool traced = tracer_ && tracer_->tracing();
    if (tracer_) tracer_->write<tracecall::IndexBufferLock>(D3D_OK, this, offset, size, flags);
    const HRESULT hr = inner_->Lock(offset, size, data, flags);
    if (hr >= 0 && data) shadow_.locked(*data, offset, size, flags, traced);
    return hr;
}

HRESULT TracedIndexBuffer::Unlock()
{
    return unlockTraced<TracedIndexBuffer, tracecall::IndexBufferLock, tracecall::IndexBufferUnlock>(this, tracer_,
                                                                                                  shadow_);
}

HRESULT TracedIndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc)
{
    if (tracer_) tracer_->write<tracecall::IndexBufferGetDesc>(D3D_OK, this);
    return inner_->GetDesc(desc);
}
