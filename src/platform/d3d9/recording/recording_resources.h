// The recording device's textures, surfaces and buffers: plain memory with Direct3D's
// reference counting, lock rules and pitches (d3dPitch), so code under test can fill and
// read them back. Every call is logged through the owning device while it lives.
#pragma once

#include "platform/d3d9/d3d9.h"

#include <cstdint>
#include <memory>
#include <vector>

class RecordingDevice;

// What every recording resource shares: its trace handle (0 until first mentioned) and
// the device that logs its calls (null once the device is gone).
class RecordingResource {
public:
    virtual ~RecordingResource() = default;
    // The device is being destroyed: keep working, stop logging.
    virtual void orphan() { device_ = nullptr; }
    unsigned traceHandle = 0;

protected:
    explicit RecordingResource(RecordingDevice* device) : device_(device) {}
    HRESULT deviceFor(IDirect3DDevice9** device) const;
    // Logs one object call of the call table (recording_resources.cpp).
    template <class Call, class... A>
    void logCall(HRESULT hr, const A&... arguments) const;
    // Tells the device the object is gone; logs "Release @h" when it had a handle.
    void retire();
    RecordingDevice* device_;
    // Resource memory counted against the device's limit.
    std::size_t bytes_ = 0;
};

class RecordingTexture;

class RecordingSurface final : public IDirect3DSurface9, public RecordingResource {
public:
    // container: the texture this surface is a level of (shares its reference count), or null.
    RecordingSurface(RecordingDevice* device, const D3DSURFACE_DESC& desc, RecordingTexture* container);

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice9** device) override { return deviceFor(device); }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

    const D3DSURFACE_DESC& desc() const { return desc_; }
    RecordingTexture* container() const { return container_; }
    int pitch() const { return pitch_; }
    std::uint8_t* bits() { return bits_.data(); }
    const std::uint8_t* bits() const { return bits_.data(); }
    bool isColour() const { return d3dBytesPerPixel(desc_.Format) != 0; }
    // Colour-format pixel (x, y) as 0xAARRGGBB (alpha forced to 0xFF for X8R8G8B8, L replicated).
    D3DCOLOR pixel(UINT x, UINT y) const;
    // Fills a rectangle (clipped to the surface) with a colour converted to the format.
    void fill(const RECT& area, D3DCOLOR colour);

    // Lock/unlock without logging (the texture logs its own LockRect calls).
    HRESULT lock(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags, bool lockable);
    HRESULT unlock();
    // The bytes of the locked rectangle, rows packed without padding (empty after a
    // read-only lock): what the trace carries at UnlockRect.
    std::vector<std::uint8_t> lockedBytes() const;
    bool lockable() const;

private:
    D3DSURFACE_DESC desc_;
    RecordingTexture* container_;
    ULONG refs_ = 1;
    int pitch_ = 0;
    std::vector<std::uint8_t> bits_;
    bool locked_ = false;
    RECT lockedRect_{};
    DWORD lockFlags_ = 0;
};

class RecordingTexture final : public IDirect3DTexture9, public RecordingResource {
public:
    RecordingTexture(RecordingDevice* device, UINT width, UINT height, UINT levels, DWORD usage,
                     D3DFORMAT format, D3DPOOL pool);

    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice9** device) override { return deviceFor(device); }
    DWORD GetLevelCount() override { return static_cast<DWORD>(levels_.size()); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;
    void orphan() override;

    RecordingSurface* level(UINT index) { return index < levels_.size() ? levels_[index].get() : nullptr; }
    UINT levelCount() const { return static_cast<UINT>(levels_.size()); }
    ULONG referenceCount() const { return refs_; }

    // Levels of a full chain for a size: floor(log2(max(w, h))) + 1.
    static UINT fullChainLength(UINT width, UINT height);

private:
    ULONG refs_ = 1;
    std::vector<std::unique_ptr<RecordingSurface>> levels_;
};

// Memory and lock bookkeeping shared by vertex and index buffers.
struct RecordingBufferStorage {
    std::vector<std::uint8_t> bytes;
    bool locked = false;
    UINT lockOffset = 0;
    UINT lockSize = 0;
    DWORD lockFlags = 0;
    HRESULT lock(UINT offset, UINT size, void** data, DWORD flags);
    HRESULT unlock();
};

class RecordingVertexBuffer final : public IDirect3DVertexBuffer9, public RecordingResource {
public:
    RecordingVertexBuffer(RecordingDevice* device, UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);

    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice9** device) override { return deviceFor(device); }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

    const std::vector<std::uint8_t>& bytes() const { return storage_.bytes; }
    ULONG referenceCount() const { return refs_; }

private:
    ULONG refs_ = 1;
    D3DVERTEXBUFFER_DESC desc_;
    RecordingBufferStorage storage_;
};

class RecordingIndexBuffer final : public IDirect3DIndexBuffer9, public RecordingResource {
public:
    RecordingIndexBuffer(RecordingDevice* device, UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);

    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice9** device) override { return deviceFor(device); }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

    const std::vector<std::uint8_t>& bytes() const { return storage_.bytes; }
    ULONG referenceCount() const { return refs_; }
    const D3DINDEXBUFFER_DESC& desc() const { return desc_; }

private:
    ULONG refs_ = 1;
    D3DINDEXBUFFER_DESC desc_;
    RecordingBufferStorage storage_;
};
