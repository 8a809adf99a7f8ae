// Memory-backed surfaces, textures and buffers of the recording device.
#include "platform/d3d9/recording/recording_resources.h"

#include "platform/d3d9/recording/recording_device.h"
#include "platform/d3d9/trace/trace_calls.h"

#include <algorithm>
#include <cstring>

namespace {

tracefield::Bytes bytesOf(const std::vector<std::uint8_t>& bytes) { return {bytes.data(), bytes.size()}; }

} // namespace

template <class Call, class... A>
void RecordingResource::logCall(HRESULT hr, const A&... arguments) const
{
    RecordingLogWriter writer{device_};
    traceWrite<Call>(writer, hr, arguments...);
}

// ---------------------------------------------------------------------------------------------
// RecordingResource

HRESULT RecordingResource::deviceFor(IDirect3DDevice9** device) const
{
    if (!device)
        return D3DERR_INVALIDCALL;
    *device = device_;
    if (!device_)
        return D3DERR_INVALIDCALL;
    device_->AddRef();
    return D3D_OK;
}

void RecordingResource::retire()
{
    if (device_)
        device_->retire(this, bytes_);
}

// ---------------------------------------------------------------------------------------------
// RecordingSurface

RecordingSurface::RecordingSurface(RecordingDevice* device, const D3DSURFACE_DESC& desc, RecordingTexture* container)
    : RecordingResource(device), desc_(desc), container_(container)
{
    if (isColour()) {
        pitch_ = d3dPitch(desc.Width, desc.Format);
        bits_.assign(static_cast<std::size_t>(pitch_) * desc.Height, 0);
        bytes_ = bits_.size();
    }
}

ULONG RecordingSurface::AddRef()
{
    return container_ ? container_->AddRef() : ++refs_;
}

ULONG RecordingSurface::Release()
{
    if (container_)
        return container_->Release();
    ULONG left = --refs_;
    if (left == 0) {
        retire();
        delete this;
    }
    return left;
}

HRESULT RecordingSurface::GetDesc(D3DSURFACE_DESC* desc)
{
    logCall<tracecall::SurfaceGetDesc>(D3D_OK, this);
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = desc_;
    return D3D_OK;
}

bool RecordingSurface::lockable() const
{
    if (!isColour())
        return false;
    if (desc_.Usage & D3DUSAGE_RENDERTARGET)
        return false;
    return desc_.Pool != D3DPOOL_DEFAULT || (desc_.Usage & D3DUSAGE_DYNAMIC) || !container_;
}

HRESULT RecordingSurface::lock(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags, bool allowed)
{
    if (!lockedRect || !allowed || locked_)
        return D3DERR_INVALIDCALL;
    RECT area{0, 0, static_cast<LONG>(desc_.Width), static_cast<LONG>(desc_.Height)};
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            rect->right > area.right || rect->bottom > area.bottom)
            return D3DERR_INVALIDCALL;
        area = *rect;
    }
    locked_ = true;
    lockedRect_ = area;
    lockFlags_ = flags;
    const UINT bpp = d3dBytesPerPixel(desc_.Format);
    lockedRect->Pitch = pitch_;
    lockedRect->pBits = bits_.data() + static_cast<std::size_t>(area.top) * pitch_ + static_cast<std::size_t>(area.left) * bpp;
    return D3D_OK;
}

HRESULT RecordingSurface::unlock()
{
    if (!locked_)
        return D3DERR_INVALIDCALL;
    locked_ = false;
    return D3D_OK;
}

std::vector<std::uint8_t> RecordingSurface::lockedBytes() const
{
    std::vector<std::uint8_t> out;
    if (lockFlags_ & D3DLOCK_READONLY)
        return out;
    const std::size_t bpp = d3dBytesPerPixel(desc_.Format);
    const std::size_t rowBytes = static_cast<std::size_t>(lockedRect_.right - lockedRect_.left) * bpp;
    out.reserve(rowBytes * static_cast<std::size_t>(lockedRect_.bottom - lockedRect_.top));
    for (LONG y = lockedRect_.top; y < lockedRect_.bottom; ++y) {
        const std::uint8_t* row = bits_.data() + static_cast<std::size_t>(y) * pitch_ + lockedRect_.left * bpp;
        out.insert(out.end(), row, row + rowBytes);
    }
    return out;
}

HRESULT RecordingSurface::LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags)
{
    logCall<tracecall::SurfaceLockRect>(D3D_OK, this, rect, flags);
    return lock(lockedRect, rect, flags, lockable());
}

HRESULT RecordingSurface::UnlockRect()
{
    const std::vector<std::uint8_t> bytes = locked_ ? lockedBytes() : std::vector<std::uint8_t>{};
    logCall<tracecall::SurfaceUnlockRect>(D3D_OK, this, bytesOf(bytes));
    return unlock();
}

D3DCOLOR RecordingSurface::pixel(UINT x, UINT y) const
{
    if (!isColour() || x >= desc_.Width || y >= desc_.Height)
        return 0;
    const std::uint8_t* p = bits_.data() + static_cast<std::size_t>(y) * pitch_ + x * d3dBytesPerPixel(desc_.Format);
    switch (desc_.Format) {
    case D3DFMT_A8R8G8B8: return D3DCOLOR_ARGB(p[3], p[2], p[1], p[0]);
    case D3DFMT_X8R8G8B8: return D3DCOLOR_ARGB(0xFF, p[2], p[1], p[0]);
    case D3DFMT_L8: return D3DCOLOR_ARGB(0xFF, p[0], p[0], p[0]);
    default: return 0;
    }
}

void RecordingSurface::fill(const RECT& area, D3DCOLOR colour)
{
    if (!isColour())
        return;
    const LONG left = std::max<LONG>(area.left, 0), top = std::max<LONG>(area.top, 0);
    const LONG right = std::min<LONG>(area.right, static_cast<LONG>(desc_.Width));
    const LONG bottom = std::min<LONG>(area.bottom, static_cast<LONG>(desc_.Height));
    const UINT bpp = d3dBytesPerPixel(desc_.Format);
    std::uint8_t value[4] = {static_cast<std::uint8_t>(colour), static_cast<std::uint8_t>(colour >> 8),
                             static_cast<std::uint8_t>(colour >> 16), static_cast<std::uint8_t>(colour >> 24)};
    if (desc_.Format == D3DFMT_L8) // luminance from the colour's green-weighted grey
        value[0] = static_cast<std::uint8_t>((((colour >> 16) & 0xFF) * 77 + ((colour >> 8) & 0xFF) * 150 + (colour & 0xFF) * 29) >> 8);
    for (LONG y = top; y < bottom; ++y)
        for (LONG x = left; x < right; ++x)
            std::memcpy(bits_.data() + static_cast<std::size_t>(y) * pitch_ + x * bpp, value, bpp);
}

// ---------------------------------------------------------------------------------------------
// RecordingTexture

UINT RecordingTexture::fullChainLength(UINT width, UINT height)
{
    UINT size = std::max(width, height), levels = 1;
    while (size > 1) {
        size >>= 1;
        ++levels;
    }
    return levels;
}

RecordingTexture::RecordingTexture(RecordingDevice* device, UINT width, UINT height, UINT levels, DWORD usage,
                                   D3DFORMAT format, D3DPOOL pool)
    : RecordingResource(device)
{
    if (levels == 0)
        levels = fullChainLength(width, height);
    for (UINT k = 0; k < levels; ++k) {
        D3DSURFACE_DESC desc{};
        desc.Format = format;
        desc.Type = D3DRTYPE_SURFACE;
        desc.Usage = usage;
        desc.Pool = pool;
        desc.Width = std::max(width >> k, 1u);
        desc.Height = std::max(height >> k, 1u);
        levels_.push_back(std::make_unique<RecordingSurface>(device, desc, this));
        bytes_ += levels_.back()->bits() ? static_cast<std::size_t>(levels_.back()->pitch()) * desc.Height : 0;
    }
}

ULONG RecordingTexture::Release()
{
    ULONG left = --refs_;
    if (left == 0) {
        retire();
        delete this;
    }
    return left;
}

void RecordingTexture::orphan()
{
    RecordingResource::orphan();
    for (auto& level : levels_)
        level->orphan();
}

HRESULT RecordingTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
    logCall<tracecall::TextureGetLevelDesc>(D3D_OK, this, level);
    if (!desc || level >= levels_.size())
        return D3DERR_INVALIDCALL;
    *desc = levels_[level]->desc();
    return D3D_OK;
}

HRESULT RecordingTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface)
{
    RecordingSurface* found = level < levels_.size() ? levels_[level].get() : nullptr;
    const HRESULT result = surface && found ? D3D_OK : D3DERR_INVALIDCALL;
    if (surface) *surface = found;
    if (SUCCEEDED(result)) found->AddRef();
    logCall<tracecall::TextureGetSurfaceLevel>(result, this, level, surface);
    return result;
}

HRESULT RecordingTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags)
{
    logCall<tracecall::TextureLockRect>(D3D_OK, this, level, rect, flags);
    if (level >= levels_.size())
        return D3DERR_INVALIDCALL;
    return levels_[level]->lock(lockedRect, rect, flags, levels_[level]->lockable());
}

HRESULT RecordingTexture::UnlockRect(UINT level)
{
    HRESULT result = D3DERR_INVALIDCALL;
    std::vector<std::uint8_t> bytes;
    if (level < levels_.size() && SUCCEEDED(levels_[level]->unlock())) {
        bytes = levels_[level]->lockedBytes();
        result = D3D_OK;
    }
    logCall<tracecall::TextureUnlockRect>(result, this, level, bytesOf(bytes));
    return result;
}

// ---------------------------------------------------------------------------------------------
// Buffers

HRESULT RecordingBufferStorage::lock(UINT offset, UINT size, void** data, DWORD flags)
{
    if (!data || locked)
        return D3DERR_INVALIDCALL;
    const std::size_t length = bytes.size();
    if (offset > length || (size != 0 && size > length - offset))
        return D3DERR_INVALIDCALL;
    locked = true;
    lockOffset = offset;
    lockSize = size == 0 ? static_cast<UINT>(length - offset) : size;
    lockFlags = flags;
    *data = bytes.data() + offset;
    return D3D_OK;
}

HRESULT RecordingBufferStorage::unlock()
{
    if (!locked)
        return D3DERR_INVALIDCALL;
    locked = false;
    return D3D_OK;
}

namespace {

// The Unlock line carries the locked range unless it was locked read-only.
tracefield::Bytes unlockedBytes(const RecordingBufferStorage& storage, bool wasLocked)
{
    if (wasLocked && !(storage.lockFlags & D3DLOCK_READONLY))
        return {storage.bytes.data() + storage.lockOffset, storage.lockSize};
    return {};
}

} // namespace

RecordingVertexBuffer::RecordingVertexBuffer(RecordingDevice* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool)
    : RecordingResource(device)
{
    desc_ = {D3DFMT_UNKNOWN, D3DRTYPE_VERTEXBUFFER, usage, pool, length, fvf};
    storage_.bytes.assign(length, 0);
    bytes_ = length;
}

ULONG RecordingVertexBuffer::Release()
{
    ULONG left = --refs_;
    if (left == 0) {
        retire();
        delete this;
    }
    return left;
}

HRESULT RecordingVertexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags)
{
    logCall<tracecall::VertexBufferLock>(D3D_OK, this, offset, size, flags);
    return storage_.lock(offset, size, data, flags);
}

HRESULT RecordingVertexBuffer::Unlock()
{
    const HRESULT result = storage_.unlock();
    logCall<tracecall::VertexBufferUnlock>(result, this, unlockedBytes(storage_, SUCCEEDED(result)));
    return result;
}

HRESULT RecordingVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc)
{
    logCall<tracecall::VertexBufferGetDesc>(D3D_OK, this);
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = desc_;
    return D3D_OK;
}

RecordingIndexBuffer::RecordingIndexBuffer(RecordingDevice* device, UINT length, DWORD usage, D3DFORMAT format,
                                           D3DPOOL pool)
    : RecordingResource(device)
{
    desc_ = {format, D3DRTYPE_INDEXBUFFER, usage, pool, length};
    storage_.bytes.assign(length, 0);
    bytes_ = length;
}

ULONG RecordingIndexBuffer::Release()
{
    ULONG left = --refs_;
    if (left == 0) {
        retire();
        delete this;
    }
    return left;
}

HRESULT RecordingIndexBuffer::Lock(UINT offset, UINT size, void** data, DWORD flags)
{
    logCall<tracecall::IndexBufferLock>(D3D_OK, this, offset, size, flags);
    return storage_.lock(offset, size, data, flags);
}

HRESULT RecordingIndexBuffer::Unlock()
{
    const HRESULT result = storage_.unlock();
    logCall<tracecall::IndexBufferUnlock>(result, this, unlockedBytes(storage_, SUCCEEDED(result)));
    return result;
}

HRESULT RecordingIndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc)
{
    logCall<tracecall::IndexBufferGetDesc>(D3D_OK, this);
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = desc_;
    return D3D_OK;
}
