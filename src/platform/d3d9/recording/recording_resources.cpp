// Memory-backed surfaces, textures and buffers of the recording device.
#include "platform/d3d9/recording/recording_resources.h"

#include "platform/d3d9/recording/recording_device.h"
#include "platform/d3d9/trace/trace_line.h"

#include <algorithm>
#include <cstring>

namespace {

TraceLine& rectFields(TraceLine& line, const RECT* rect)
{
    if (!rect)
        return line.dash();
    return line.i(rect->left).i(rect->top).i(rect->right).i(rect->bottom);
}

} // namespace

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

void RecordingResource::log(const TraceLine& line) const
{
    if (device_)
        device_->log(line);
}

unsigned RecordingResource::handleOf(RecordingResource* resource) const
{
    return device_ ? device_->handleOf(resource) : 0;
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
    log(TraceLine("SurfaceGetDesc").handle(handleOf(this)));
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
    TraceLine line("SurfaceLockRect");
    line.handle(handleOf(this));
    rectFields(line, rect).u(flags);
    log(line);
    return lock(lockedRect, rect, flags, lockable());
}

HRESULT RecordingSurface::UnlockRect()
{
    TraceLine line("SurfaceUnlockRect");
    line.handle(handleOf(this));
    if (locked_) {
        auto bytes = lockedBytes();
        line.hex(bytes.data(), bytes.size());
    } else {
        line.dash();
    }
    log(line);
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
    log(TraceLine("TextureGetLevelDesc").handle(handleOf(this)).u(level));
    if (!desc || level >= levels_.size())
        return D3DERR_INVALIDCALL;
    *desc = levels_[level]->desc();
    return D3D_OK;
}

HRESULT RecordingTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface)
{
    RecordingSurface* found = level < levels_.size() ? levels_[level].get() : nullptr;
    log(TraceLine("TextureGetSurfaceLevel").handle(handleOf(this)).u(level).handle(found ? handleOf(found) : 0));
    if (!surface)
        return D3DERR_INVALIDCALL;
    *surface = found;
    if (!found)
        return D3DERR_INVALIDCALL;
    found->AddRef();
    return D3D_OK;
}

HRESULT RecordingTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags)
{
    TraceLine line("TextureLockRect");
    line.handle(handleOf(this)).u(level);
    rectFields(line, rect).u(flags);
    log(line);
    if (level >= levels_.size())
        return D3DERR_INVALIDCALL;
    return levels_[level]->lock(lockedRect, rect, flags, levels_[level]->lockable());
}

HRESULT RecordingTexture::UnlockRect(UINT level)
{
    TraceLine line("TextureUnlockRect");
    line.handle(handleOf(this)).u(level);
    HRESULT result = D3DERR_INVALIDCALL;
    if (level < levels_.size()) {
        RecordingSurface& surface = *levels_[level];
        std::vector<std::uint8_t> bytes;
        HRESULT wasLocked = surface.unlock();
        if (SUCCEEDED(wasLocked)) {
            bytes = surface.lockedBytes();
            result = D3D_OK;
        }
        line.hex(bytes.data(), bytes.size());
    } else {
        line.dash();
    }
    log(line);
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
void appendUnlockedBytes(TraceLine& line, const RecordingBufferStorage& storage, bool wasLocked)
{
    if (wasLocked && !(storage.lockFlags & D3DLOCK_READONLY))
        line.hex(storage.bytes.data() + storage.lockOffset, storage.lockSize);
    else
        line.dash();
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
    log(TraceLine("VertexBufferLock").handle(handleOf(this)).u(offset).u(size).u(flags));
    return storage_.lock(offset, size, data, flags);
}

HRESULT RecordingVertexBuffer::Unlock()
{
    TraceLine line("VertexBufferUnlock");
    line.handle(handleOf(this));
    HRESULT result = storage_.unlock();
    appendUnlockedBytes(line, storage_, SUCCEEDED(result));
    log(line);
    return result;
}

HRESULT RecordingVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc)
{
    log(TraceLine("VertexBufferGetDesc").handle(handleOf(this)));
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
    log(TraceLine("IndexBufferLock").handle(handleOf(this)).u(offset).u(size).u(flags));
    return storage_.lock(offset, size, data, flags);
}

HRESULT RecordingIndexBuffer::Unlock()
{
    TraceLine line("IndexBufferUnlock");
    line.handle(handleOf(this));
    HRESULT result = storage_.unlock();
    appendUnlockedBytes(line, storage_, SUCCEEDED(result));
    log(line);
    return result;
}

HRESULT RecordingIndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc)
{
    log(TraceLine("IndexBufferGetDesc").handle(handleOf(this)));
    if (!desc)
        return D3DERR_INVALIDCALL;
    *desc = desc_;
    return D3D_OK;
}
