// Texture creation, level surfaces and the LockRect/UnlockRect path (see gl_texture.h).
#include "platform/d3d9/gl/gl_texture.h"

#include "platform/d3d9/gl/gl_formats.h"

#include <algorithm>

namespace d3dgl {

ULONG GlTextureLevelSurface::AddRef() { return texture_->AddRef(); }
ULONG GlTextureLevelSurface::Release() { return texture_->Release(); }

HRESULT GlTextureLevelSurface::LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags)
{
    return texture_->LockRect(level_, lockedRect, rect, flags);
}

HRESULT GlTextureLevelSurface::UnlockRect() { return texture_->UnlockRect(level_); }

GLuint GlTextureLevelSurface::glTexture() const { return texture_->glName(); }

UINT GlTexture::fullChainLevels(UINT width, UINT height)
{
    UINT levels = 1;
    for (UINT size = std::max(width, height); size > 1; size >>= 1) ++levels;
    return levels;
}

UINT GlTexture::width(UINT level) const { return std::max(1u, width_ >> level); }
UINT GlTexture::height(UINT level) const { return std::max(1u, height_ >> level); }

GlTexture* GlTexture::create(GlShared shared, UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                             D3DPOOL pool)
{
    const GlColorFormat glFormat = glColorFormat(format);
    if (!glFormat.valid() || width == 0 || height == 0 || width > 8192 || height > 8192) return nullptr;
    const bool renderTarget = (usage & D3DUSAGE_RENDERTARGET) != 0;
    if (renderTarget && (pool != D3DPOOL_DEFAULT || !isRenderTargetFormat(format))) return nullptr;
    if ((usage & D3DUSAGE_DYNAMIC) && pool == D3DPOOL_MANAGED) return nullptr;
    if (usage & D3DUSAGE_DEPTHSTENCIL) return nullptr;
    const UINT chain = fullChainLevels(width, height);
    if (levels == 0) levels = chain;
    if (levels > chain) return nullptr;

    auto* texture = new GlTexture(shared);
    texture->width_ = width;
    texture->height_ = height;
    texture->levels_ = levels;
    texture->usage_ = usage;
    texture->format_ = format;
    texture->pool_ = pool;
    texture->shadow_.resize(levels);
    texture->locks_.resize(levels);
    for (UINT level = 0; level < levels; ++level) {
        D3DSURFACE_DESC desc{};
        desc.Format = format;
        desc.Type = D3DRTYPE_SURFACE;
        desc.Usage = usage;
        desc.Pool = pool;
        desc.Width = texture->width(level);
        desc.Height = texture->height(level);
        texture->surfaces_.push_back(std::make_unique<GlTextureLevelSurface>(shared, desc, texture, level));
    }

    shared->makeCurrent();
    glCreateTextures(GL_TEXTURE_2D, 1, &texture->name_);
    glTextureStorage2D(texture->name_, static_cast<GLsizei>(levels), glFormat.internalFormat,
                       static_cast<GLsizei>(width), static_cast<GLsizei>(height));
    glTextureParameteriv(texture->name_, GL_TEXTURE_SWIZZLE_RGBA, glFormat.swizzle);
    glTextureParameteri(texture->name_, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels - 1));
    // Start from black rather than whatever the allocator left behind, so results never
    // depend on memory that nothing has written.
    for (UINT level = 0; level < levels; ++level)
        glClearTexImage(texture->name_, static_cast<GLint>(level), glFormat.uploadFormat, glFormat.uploadType, nullptr);
    return texture;
}

GlTexture::~GlTexture()
{
    shared_->makeCurrent();
    shared_->forgetTexture(name_);
    glDeleteTextures(1, &name_);
}

ULONG GlTexture::Release()
{
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT GlTexture::GetDevice(IDirect3DDevice9** device)
{
    if (!device) return D3DERR_INVALIDCALL;
    *device = shared_->device;
    if (!*device) return D3DERR_INVALIDCALL;
    (*device)->AddRef();
    return D3D_OK;
}

HRESULT GlTexture::GetLevelDesc(UINT level, D3DSURFACE_DESC* desc)
{
    if (level >= levels_ || !desc) return D3DERR_INVALIDCALL;
    *desc = surfaces_[level]->desc();
    return D3D_OK;
}

HRESULT GlTexture::GetSurfaceLevel(UINT level, IDirect3DSurface9** surface)
{
    if (!surface) return D3DERR_INVALIDCALL;
    if (level >= levels_) {
        *surface = nullptr;
        return D3DERR_INVALIDCALL;
    }
    *surface = surfaces_[level].get();
    AddRef();
    return D3D_OK;
}

bool GlTexture::lockable() const
{
    if (usage_ & D3DUSAGE_RENDERTARGET) return false;
    return pool_ != D3DPOOL_DEFAULT || (usage_ & D3DUSAGE_DYNAMIC);
}

HRESULT GlTexture::LockRect(UINT level, D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags)
{
    if (!lockedRect || level >= levels_ || !lockable() || locks_[level].locked) return D3DERR_INVALIDCALL;
    const UINT w = width(level), h = height(level);
    if (!lockRectValid(rect, w, h)) return D3DERR_INVALIDCALL;
    const int pitch = d3dPitch(w, format_);
    auto& shadow = shadow_[level];
    if (shadow.empty()) shadow.assign(static_cast<std::size_t>(pitch) * h, 0);

    LevelLock& lock = locks_[level];
    lock.locked = true;
    lock.readOnly = (flags & D3DLOCK_READONLY) != 0;
    lock.rect = rect ? *rect : RECT{0, 0, static_cast<LONG>(w), static_cast<LONG>(h)};
    const std::size_t offset = static_cast<std::size_t>(lock.rect.top) * static_cast<std::size_t>(pitch) +
                               static_cast<std::size_t>(lock.rect.left) * d3dBytesPerPixel(format_);
    lockedRect->Pitch = pitch;
    lockedRect->pBits = shadow.data() + offset;
    return D3D_OK;
}

HRESULT GlTexture::UnlockRect(UINT level)
{
    if (level >= levels_ || !locks_[level].locked) return D3DERR_INVALIDCALL;
    LevelLock& lock = locks_[level];
    lock.locked = false;
    if (lock.readOnly) return D3D_OK;

    const GlColorFormat glFormat = glColorFormat(format_);
    const UINT bpp = d3dBytesPerPixel(format_);
    const int pitch = d3dPitch(width(level), format_);
    const std::uint8_t* source = shadow_[level].data() + static_cast<std::size_t>(lock.rect.top) * pitch +
                                 static_cast<std::size_t>(lock.rect.left) * bpp;
    shared_->makeCurrent();
    glPixelStorei(GL_UNPACK_ROW_LENGTH, pitch / static_cast<int>(bpp));
    glTextureSubImage2D(name_, static_cast<GLint>(level), lock.rect.left, lock.rect.top,
                        lock.rect.right - lock.rect.left, lock.rect.bottom - lock.rect.top, glFormat.uploadFormat,
                        glFormat.uploadType, source);
    glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    return D3D_OK;
}

} // namespace d3dgl
