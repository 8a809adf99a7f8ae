// A 2-D texture of the OpenGL device: immutable OpenGL storage with every level, a CPU copy
// per level for lockable textures (LockRect hands that out; UnlockRect uploads the rectangle),
// and one surface object per level whose references count on the texture itself.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/gl/gl_device_shared.h"
#include "platform/d3d9/gl/gl_surface.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace d3dgl {

class GlTexture;

class GlTextureLevelSurface final : public GlSurface {
public:
    GlTextureLevelSurface(GlShared shared, const D3DSURFACE_DESC& desc, GlTexture* texture, UINT level)
        : GlSurface(std::move(shared), desc), texture_(texture), level_(level)
    {
    }
    ULONG AddRef() override;
    ULONG Release() override;
    HRESULT LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;
    GLuint glTexture() const override;
    GLint glLevel() const override { return static_cast<GLint>(level_); }
    GlTexture* texture() const { return texture_; }

private:
    GlTexture* texture_;
    UINT level_;
};

class GlTexture final : public IDirect3DTexture9 {
public:
    // Levels 0 makes the full chain. Null when the request is not one this device supports.
    static GlTexture* create(GlShared shared, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                             D3DPOOL pool);
    ~GlTexture() override;

    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;
    HRESULT GetDevice(IDirect3DDevice9** device) override;
    DWORD GetLevelCount() override { return levels_; }
    HRESULT GetLevelDesc(UINT level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(UINT level, IDirect3DSurface9** surface) override;
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;

    GLuint glName() const { return name_; }
    D3DFORMAT format() const { return format_; }
    bool isRenderTarget() const { return (usage_ & D3DUSAGE_RENDERTARGET) != 0; }
    GlTextureLevelSurface* level(UINT index) { return surfaces_[index].get(); }
    UINT width(UINT level = 0) const;
    UINT height(UINT level = 0) const;

    // Full chain length for a size: floor(log2(max(w, h))) + 1.
    static UINT fullChainLevels(UINT width, UINT height);

private:
    GlTexture(GlShared shared) : shared_(std::move(shared)) {}
    bool lockable() const;

    struct LevelLock {
        bool locked = false;
        bool readOnly = false;
        RECT rect{};
    };

    GlShared shared_;
    ULONG references_ = 1;
    GLuint name_ = 0;
    UINT width_ = 0, height_ = 0, levels_ = 0;
    DWORD usage_ = 0;
    D3DFORMAT format_ = D3DFMT_UNKNOWN;
    D3DPOOL pool_ = D3DPOOL_DEFAULT;
    std::vector<std::unique_ptr<GlTextureLevelSurface>> surfaces_;
    std::vector<std::vector<std::uint8_t>> shadow_;
    std::vector<LevelLock> locks_;
};

} // namespace d3dgl
