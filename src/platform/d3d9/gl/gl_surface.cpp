// Depth-stencil and system-memory surfaces, and what every surface shares.
#include "platform/d3d9/gl/gl_surface.h"

#include "platform/d3d9/gl/gl_formats.h"

namespace d3dgl {

HRESULT GlSurface::GetDesc(D3DSURFACE_DESC* desc)
{
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = desc_;
    return D3D_OK;
}

HRESULT GlSurface::GetDevice(IDirect3DDevice9** device)
{
    if (!device) return D3DERR_INVALIDCALL;
    *device = shared_->device;
    if (!*device) return D3DERR_INVALIDCALL;
    (*device)->AddRef();
    return D3D_OK;
}

ULONG GlOwnedSurface::Release()
{
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

bool lockRectValid(const RECT* rect, UINT width, UINT height)
{
    if (!rect) return true;
    return rect->left >= 0 && rect->top >= 0 && rect->left < rect->right && rect->top < rect->bottom &&
           static_cast<UINT>(rect->right) <= width && static_cast<UINT>(rect->bottom) <= height;
}

GlDepthSurface* GlDepthSurface::create(GlShared shared, UINT width, UINT height, D3DFORMAT format)
{
    const GLenum internalFormat = glDepthInternalFormat(format);
    if (!internalFormat || width == 0 || height == 0) return nullptr;
    D3DSURFACE_DESC desc{};
    desc.Format = format;
    desc.Type = D3DRTYPE_SURFACE;
    desc.Usage = D3DUSAGE_DEPTHSTENCIL;
    desc.Pool = D3DPOOL_DEFAULT;
    desc.Width = width;
    desc.Height = height;
    auto* surface = new GlDepthSurface(shared, desc);
    shared->makeCurrent();
    glCreateRenderbuffers(1, &surface->renderbuffer_);
    glNamedRenderbufferStorage(surface->renderbuffer_, internalFormat, static_cast<GLsizei>(width),
                               static_cast<GLsizei>(height));
    // Start cleared to the far plane, so nothing depends on memory no one wrote. The masks and
    // scissor a clear obeys are restored exactly, keeping the device's state tracking true.
    GLboolean depthMask = GL_TRUE, scissor = GL_FALSE;
    GLint stencilMask = 0;
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    glGetBooleanv(GL_SCISSOR_TEST, &scissor);
    glGetIntegerv(GL_STENCIL_WRITEMASK, &stencilMask);
    glDepthMask(GL_TRUE);
    glStencilMask(0xFF);
    glDisable(GL_SCISSOR_TEST);
    const GLuint fbo = shared->framebuffer(0, 0, surface->renderbuffer_, depthFormatHasStencil(format));
    if (depthFormatHasStencil(format))
        glClearNamedFramebufferfi(fbo, GL_DEPTH_STENCIL, 0, 1.0f, 0);
    else {
        const float far = 1.0f;
        glClearNamedFramebufferfv(fbo, GL_DEPTH, 0, &far);
    }
    glDepthMask(depthMask);
    glStencilMask(static_cast<GLuint>(stencilMask));
    if (scissor) glEnable(GL_SCISSOR_TEST);
    return surface;
}

GlDepthSurface::~GlDepthSurface()
{
    shared_->makeCurrent();
    shared_->forgetRenderbuffer(renderbuffer_);
    glDeleteRenderbuffers(1, &renderbuffer_);
}

bool GlDepthSurface::hasStencil() const { return depthFormatHasStencil(desc_.Format); }

GlMemorySurface* GlMemorySurface::create(GlShared shared, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool)
{
    if (width == 0 || height == 0 || d3dBytesPerPixel(format) == 0) return nullptr;
    D3DSURFACE_DESC desc{};
    desc.Format = format;
    desc.Type = D3DRTYPE_SURFACE;
    desc.Pool = pool;
    desc.Width = width;
    desc.Height = height;
    auto* surface = new GlMemorySurface(std::move(shared), desc);
    surface->bytes_.assign(static_cast<std::size_t>(d3dPitch(width, format)) * height, 0);
    return surface;
}

HRESULT GlMemorySurface::LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD)
{
    if (!lockedRect || locked_ || !lockRectValid(rect, desc_.Width, desc_.Height)) return D3DERR_INVALIDCALL;
    const int pitch = d3dPitch(desc_.Width, desc_.Format);
    std::size_t offset = 0;
    if (rect) {
        offset = static_cast<std::size_t>(rect->top) * static_cast<std::size_t>(pitch) +
                 static_cast<std::size_t>(rect->left) * d3dBytesPerPixel(desc_.Format);
    }
    lockedRect->Pitch = pitch;
    lockedRect->pBits = bytes_.data() + offset;
    locked_ = true;
    return D3D_OK;
}

HRESULT GlMemorySurface::UnlockRect()
{
    if (!locked_) return D3DERR_INVALIDCALL;
    locked_ = false;
    return D3D_OK;
}

} // namespace d3dgl
