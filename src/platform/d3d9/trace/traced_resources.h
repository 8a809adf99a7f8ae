// The tracing device's textures, surfaces and buffers: wrappers that pass every call to the
// inner device's object and write it to the trace. Each keeps a copy of what the program
// wrote into it (the shadow), so a trace started later can upload the contents a frame uses.
#pragma once

#include "platform/d3d9/d3d9.h"

#include <cstdint>
#include <memory>
#include <vector>

class TracingDevice;

// Pixels a program wrote into a surface or texture level, rows packed without padding, and
// the lock in progress.
struct PixelShadow {
    UINT width = 0, height = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    std::vector<std::uint8_t> bytes; // empty until something was written
    struct Lock {
        bool active = false;
        bool traced = false; // its Lock line is in the trace
        std::uint8_t* bits = nullptr;
        int pitch = 0;
        RECT area{};
        DWORD flags = 0;
    } lock;

    // Remembers a lock the inner object granted.
    void locked(const D3DLOCKED_RECT& rect, const RECT* area, DWORD flags, bool traced);
    // The locked rectangle's bytes, copied into the shadow too (empty after a read-only lock).
    std::vector<std::uint8_t> unlocking();
};

// Bytes a program wrote into a buffer and the lock in progress.
struct BufferShadow {
    std::vector<std::uint8_t> bytes;
    bool written = false;
    struct Lock {
        bool active = false;
        bool traced = false;
        std::uint8_t* bits = nullptr;
        UINT offset = 0, size = 0;
        DWORD flags = 0;
    } lock;

    void locked(void* bits, UINT offset, UINT size, DWORD flags, bool traced);
    // The locked range (none after a read-only lock), copied into the shadow too.
    const std::uint8_t* unlocking(std::size_t& size);
};

// How a wrapped object came to be: what a self-contained trace writes to make it again.
enum class TracedOrigin { Created, BackBuffer, AutoDepth, TextureLevel };

class TracedResource {
public:
    virtual ~TracedResource() = default;
    virtual IUnknown* innerObject() const = 0;
    // The device went away: keep passing calls on, stop tracing them.
    virtual void orphan() { tracer_ = nullptr; }

    unsigned traceHandle = 0;        // 0 until first written
    unsigned long long sequence = 0; // creation order
    TracedOrigin origin = TracedOrigin::Created;

protected:
    explicit TracedResource(TracingDevice* tracer);
    HRESULT deviceFor(IDirect3DDevice9** device) const;
    // Tells the device the object is gone (it writes Release while tracing).
    void retire();
    TracingDevice* tracer_;
};

class TracedTexture;

class TracedSurface final : public IDirect3DSurface9, public TracedResource {
public:
    // Takes over one reference of inner. A level of a texture shares its reference count.
    TracedSurface(TracingDevice* tracer, IDirect3DSurface9* inner, TracedTexture* container = nullptr,
                  PixelShadow* levelShadow = nullptr);
    ~TracedSurface() override;

    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice9** device) override { return deviceFor(device); }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

    IUnknown* innerObject() const override { return inner_; }
    IDirect3DSurface9* inner() const { return inner_; }
    TracedTexture* container() const { return container_; }
    PixelShadow& shadow() { return *shadow_; }
    // Plain and depth surfaces: how they were created.
    D3DSURFACE_DESC created{};

private:
    IDirect3DSurface9* inner_;
    TracedTexture* container_;
    ULONG refs_ = 1;
    PixelShadow ownShadow_;
    PixelShadow* shadow_;
};

class TracedTexture final : public IDirect3DTexture9, public TracedResource {
public:
    TracedTexture(TracingDevice* tracer, IDirect3DTexture9* inner);
    // What CreateTexture asked for (sizes the level shadows).
    void describe(UINT width, UINT height, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ~TracedTexture() override;

    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice9** device) override { return deviceFor(device); }
    DWORD GetLevelCount() override { return inner_->GetLevelCount(); }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;
    void orphan() override;

    IUnknown* innerObject() const override { return inner_; }
    IDirect3DTexture9* inner() const { return inner_; }
    UINT levelCount() const { return static_cast<UINT>(shadows_.size()); }
    PixelShadow& levelShadow(UINT level) { return shadows_[level]; }
    // The level's surface wrapper, if the program ever asked for it.
    TracedSurface* levelSurface(UINT level) const { return level < levels_.size() ? levels_[level].get() : nullptr; }
    UINT width = 0, height = 0;
    DWORD usage = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    D3DPOOL pool = D3DPOOL_DEFAULT;

private:
    IDirect3DTexture9* inner_;
    ULONG refs_ = 1;
    std::vector<PixelShadow> shadows_;
    std::vector<std::unique_ptr<TracedSurface>> levels_;
};

class TracedVertexBuffer final : public IDirect3DVertexBuffer9, public TracedResource {
public:
    TracedVertexBuffer(TracingDevice* tracer, IDirect3DVertexBuffer9* inner) : TracedResource(tracer), inner_(inner) {}
    void describe(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool);
    ~TracedVertexBuffer() override;

    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice9** device) override { return deviceFor(device); }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

    IUnknown* innerObject() const override { return inner_; }
    IDirect3DVertexBuffer9* inner() const { return inner_; }
    BufferShadow& shadow() { return shadow_; }
    DWORD usage = 0, fvf = 0;
    D3DPOOL pool = D3DPOOL_DEFAULT;

private:
    IDirect3DVertexBuffer9* inner_;
    ULONG refs_ = 1;
    BufferShadow shadow_;
};

class TracedIndexBuffer final : public IDirect3DIndexBuffer9, public TracedResource {
public:
    TracedIndexBuffer(TracingDevice* tracer, IDirect3DIndexBuffer9* inner) : TracedResource(tracer), inner_(inner) {}
    void describe(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool);
    ~TracedIndexBuffer() override;

    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice9** device) override { return deviceFor(device); }
    HRESULT Lock(UINT offset, UINT size, void** data, DWORD flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

    IUnknown* innerObject() const override { return inner_; }
    IDirect3DIndexBuffer9* inner() const { return inner_; }
    BufferShadow& shadow() { return shadow_; }
    DWORD usage = 0;
    D3DFORMAT format = D3DFMT_INDEX16;
    D3DPOOL pool = D3DPOOL_DEFAULT;

private:
    IDirect3DIndexBuffer9* inner_;
    ULONG refs_ = 1;
    BufferShadow shadow_;
};
