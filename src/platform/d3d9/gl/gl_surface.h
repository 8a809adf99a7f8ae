// Surfaces of the OpenGL device: a texture level (render targets and the back buffer are
// texture levels too), a depth-stencil renderbuffer, or a block of system memory.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/gl/gl_device_shared.h"

#include <cstdint>
#include <vector>

namespace d3dgl {

class GlSurface : public IDirect3DSurface9 {
public:
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT GetDevice(IDirect3DDevice9** device) override;

    const D3DSURFACE_DESC& desc() const { return desc_; }
    // Colour texture level this surface renders into (0 when it is not one).
    virtual GLuint glTexture() const { return 0; }
    virtual GLint glLevel() const { return 0; }
    // Depth renderbuffer (0 when it is not one).
    virtual GLuint glRenderbuffer() const { return 0; }
    // CPU bytes of a system-memory surface (null otherwise); rows d3dPitch() apart.
    virtual std::uint8_t* memory() { return nullptr; }

protected:
    GlSurface(GlShared shared, const D3DSURFACE_DESC& desc) : shared_(std::move(shared)), desc_(desc) {}
    GlShared shared_;
    D3DSURFACE_DESC desc_;
};

// A surface with its own reference count.
class GlOwnedSurface : public GlSurface {
public:
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;

protected:
    using GlSurface::GlSurface;

private:
    ULONG references_ = 1;
};

class GlDepthSurface final : public GlOwnedSurface {
public:
    // Null when the format is not a depth format or the size is zero.
    static GlDepthSurface* create(GlShared shared, UINT width, UINT height, D3DFORMAT format);
    ~GlDepthSurface() override;

    HRESULT LockRect(D3DLOCKED_RECT*, const RECT*, DWORD) override { return D3DERR_INVALIDCALL; }
    HRESULT UnlockRect() override { return D3DERR_INVALIDCALL; }
    GLuint glRenderbuffer() const override { return renderbuffer_; }
    bool hasStencil() const;

private:
    GlDepthSurface(GlShared shared, const D3DSURFACE_DESC& desc) : GlOwnedSurface(std::move(shared), desc) {}
    GLuint renderbuffer_ = 0;
};

// Off-screen plain surface: plain memory, lockable, the destination of GetRenderTargetData.
class GlMemorySurface final : public GlOwnedSurface {
public:
    static GlMemorySurface* create(GlShared shared, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool);

    HRESULT LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;
    std::uint8_t* memory() override { return bytes_.data(); }

private:
    GlMemorySurface(GlShared shared, const D3DSURFACE_DESC& desc) : GlOwnedSurface(std::move(shared), desc) {}
    std::vector<std::uint8_t> bytes_;
    bool locked_ = false;
};

// Checks a lock rectangle against a surface size; null means the whole surface.
bool lockRectValid(const RECT* rect, UINT width, UINT height);

} // namespace d3dgl
