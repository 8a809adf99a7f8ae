// Render targets, depth surfaces, Clear, GetRenderTargetData and Present of the GL device.
#include "platform/d3d9/gl/gl_device.h"

#include "platform/d3d9/gl/ff_pipeline.h"
#include "platform/d3d9/gl/gl_diagnostics.h"
#include "platform/d3d9/gl/gl_formats.h"
#include "platform/d3d9/gl/gl_texture.h"
#include "platform/d3d9/gl/letterbox.h"

#include <algorithm>

namespace d3dgl {

void GlDevice::bindTargetFramebuffer()
{
    FfTarget target;
    const D3DSURFACE_DESC& desc = renderTarget_->desc();
    target.width = desc.Width;
    target.height = desc.Height;
    target.alphaless = desc.Format == D3DFMT_X8R8G8B8;
    GLuint depth = 0;
    // A depth surface smaller than the target is left out, as Direct3D drivers do, rather
    // than shrinking the drawable area to the overlap.
    if (depthStencil_ && depthUsable()) {
        target.hasDepth = true;
        target.hasStencil = depthStencil_->hasStencil();
        depth = depthStencil_->glRenderbuffer();
    }
    shared_->makeCurrent();
    target.framebuffer =
        shared_->framebuffer(renderTarget_->glTexture(), renderTarget_->glLevel(), depth, target.hasStencil);
    pipeline_->setTarget(target);
    state_.dirty |= kDirtyBlend | kDirtyDepthStencil | kDirtyViewport;
}

bool GlDevice::depthUsable() const
{
    const D3DSURFACE_DESC& target = renderTarget_->desc();
    const D3DSURFACE_DESC& depth = depthStencil_->desc();
    return depth.Width >= target.Width && depth.Height >= target.Height;
}

void GlDevice::resetViewportToTarget()
{
    const D3DSURFACE_DESC& desc = renderTarget_->desc();
    state_.viewport = {0, 0, desc.Width, desc.Height, 0.0f, 1.0f};
    state_.scissor = {0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    state_.dirty |= kDirtyViewport | kDirtyMaterial;
}

HRESULT GlDevice::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE, IDirect3DSurface9** surface)
{
    if (!surface) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (swapChain != 0 || index != 0) return D3DERR_INVALIDCALL;
    *surface = backBuffer_->level(0);
    (*surface)->AddRef();
    return D3D_OK;
}

HRESULT GlDevice::SetRenderTarget(DWORD index, IDirect3DSurface9* surface)
{
    if (index != 0 || !surface) return D3DERR_INVALIDCALL;
    auto* glSurface = dynamic_cast<GlSurface*>(surface);
    if (!glSurface || !glSurface->glTexture() || !(glSurface->desc().Usage & D3DUSAGE_RENDERTARGET))
        return D3DERR_INVALIDCALL;
    glSurface->AddRef();
    safeRelease(renderTarget_);
    renderTarget_ = glSurface;
    // Even the same surface set again brings back the full-target viewport and scissor.
    resetViewportToTarget();
    bindTargetFramebuffer();
    return D3D_OK;
}

HRESULT GlDevice::GetRenderTarget(DWORD index, IDirect3DSurface9** surface)
{
    if (!surface) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (index != 0) return D3DERR_NOTAVAILABLE;
    *surface = renderTarget_;
    renderTarget_->AddRef();
    return D3D_OK;
}

HRESULT GlDevice::SetDepthStencilSurface(IDirect3DSurface9* surface)
{
    auto* depth = dynamic_cast<GlDepthSurface*>(surface);
    if (surface && !depth) return D3DERR_INVALIDCALL;
    if (depth) depth->AddRef();
    safeRelease(depthStencil_);
    depthStencil_ = depth;
    bindTargetFramebuffer();
    return D3D_OK;
}

HRESULT GlDevice::GetDepthStencilSurface(IDirect3DSurface9** surface)
{
    if (!surface) return D3DERR_INVALIDCALL;
    *surface = depthStencil_;
    if (!depthStencil_) return D3DERR_NOTFOUND;
    depthStencil_->AddRef();
    return D3D_OK;
}

HRESULT GlDevice::GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destSurface)
{
    auto* source = dynamic_cast<GlSurface*>(renderTarget);
    auto* destination = dynamic_cast<GlSurface*>(destSurface);
    if (!source || !destination || !source->glTexture() || !destination->memory()) return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC& from = source->desc();
    const D3DSURFACE_DESC& to = destination->desc();
    if (from.Width != to.Width || from.Height != to.Height || from.Format != to.Format) return D3DERR_INVALIDCALL;

    shared_->makeCurrent();
    GlStateCache& cache = shared_->cache();
    cache.bindReadFramebuffer(shared_->framebuffer(source->glTexture(), source->glLevel(), 0, false));
    const int pitch = d3dPitch(to.Width, to.Format);
    glPixelStorei(GL_PACK_ROW_LENGTH, pitch / 4);
    // Framebuffer rows are already in Direct3D order (top row first).
    glReadPixels(0, 0, static_cast<GLsizei>(to.Width), static_cast<GLsizei>(to.Height), GL_BGRA,
                 GL_UNSIGNED_INT_8_8_8_8_REV, destination->memory());
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
    if (to.Format == D3DFMT_X8R8G8B8) {
        // The unused byte reads as opaque, whatever blending left in the alpha channel.
        for (UINT y = 0; y < to.Height; ++y) {
            std::uint8_t* row = destination->memory() + static_cast<std::size_t>(y) * pitch;
            for (UINT x = 0; x < to.Width; ++x) row[x * 4 + 3] = 0xFF;
        }
    }
    pollGlErrors("GetRenderTargetData");
    return D3D_OK;
}

HRESULT GlDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil)
{
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !depthStencil_) return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_STENCIL) && !depthStencil_->hasStencil()) return D3DERR_INVALIDCALL;
    // Rectangles with a count of 0 clear nothing; a count without rectangles clears it all.
    if (count == 0 && rects) return D3D_OK;

    // The area: the viewport, cut by the scissor rectangle while the scissor test is on.
    LONG left = static_cast<LONG>(state_.viewport.X), top = static_cast<LONG>(state_.viewport.Y);
    LONG right = left + static_cast<LONG>(state_.viewport.Width);
    LONG bottom = top + static_cast<LONG>(state_.viewport.Height);
    if (state_.rs(D3DRS_SCISSORTESTENABLE)) {
        left = std::max(left, state_.scissor.left);
        top = std::max(top, state_.scissor.top);
        right = std::min(right, state_.scissor.right);
        bottom = std::min(bottom, state_.scissor.bottom);
    }

    shared_->makeCurrent();
    GlStateCache& cache = shared_->cache();
    cache.bindDrawFramebuffer(pipeline_->target().framebuffer);
    // Clears ignore every write mask.
    cache.setColorMask(true, true, true, true);
    cache.setDepth(false, true, GL_ALWAYS);
    cache.setStencilWriteMask(0xFFFFFFFFu);
    state_.dirty |= kDirtyRaster | kDirtyDepthStencil | kDirtyViewport;

    const float rgba[4] = {((color >> 16) & 0xFF) / 255.0f, ((color >> 8) & 0xFF) / 255.0f, (color & 0xFF) / 255.0f,
                           pipeline_->target().alphaless ? 1.0f : ((color >> 24) & 0xFF) / 255.0f};
    const GLint stencilValue = static_cast<GLint>(stencil & 0xFF);
    auto clearArea = [&](LONG x1, LONG y1, LONG x2, LONG y2) {
        x1 = std::max(x1, left);
        y1 = std::max(y1, top);
        x2 = std::min(x2, right);
        y2 = std::min(y2, bottom);
        if (x1 >= x2 || y1 >= y2) return;
        // Framebuffer row 0 is the top row, so Direct3D rectangles need no flip.
        cache.setScissor(true, x1, y1, x2 - x1, y2 - y1);
        if (flags & D3DCLEAR_TARGET) glClearBufferfv(GL_COLOR, 0, rgba);
        const bool depth = (flags & D3DCLEAR_ZBUFFER) != 0, stencilToo = (flags & D3DCLEAR_STENCIL) != 0;
        if ((depth || stencilToo) && !pipeline_->target().hasDepth) {
            // The depth surface is not attached to this target (it is smaller): clear it alone.
            cache.bindDrawFramebuffer(shared_->framebuffer(0, 0, depthStencil_->glRenderbuffer(), depthStencil_->hasStencil()));
        }
        if (depth && stencilToo) {
            glClearBufferfi(GL_DEPTH_STENCIL, 0, z, stencilValue);
        } else if (depth) {
            glClearBufferfv(GL_DEPTH, 0, &z);
        } else if (stencilToo) {
            glClearBufferiv(GL_STENCIL, 0, &stencilValue);
        }
        cache.bindDrawFramebuffer(pipeline_->target().framebuffer);
    };
    if (!rects) {
        clearArea(left, top, right, bottom);
    } else {
        for (DWORD i = 0; i < count; ++i) clearArea(rects[i].x1, rects[i].y1, rects[i].x2, rects[i].y2);
    }
    return D3D_OK;
}

HRESULT GlDevice::Present(const RECT*, const RECT*, HWND, const void*)
{
    shared_->makeCurrent();
    GlContext& context = shared_->context();
    pipeline_->frameDone();
    if (context.hasWindow()) {
        int windowWidth = 0, windowHeight = 0;
        context.windowDrawableSize(&windowWidth, &windowHeight);
        const int width = static_cast<int>(parameters_.BackBufferWidth);
        const int height = static_cast<int>(parameters_.BackBufferHeight);
        const LetterboxRect rect = letterbox(width, height, windowWidth, windowHeight);
        GlStateCache& cache = shared_->cache();
        cache.bindDrawFramebuffer(0);
        cache.setScissor(false, 0, 0, 0, 0);
        cache.setColorMask(true, true, true, true);
        state_.dirty |= kDirtyRaster | kDirtyViewport;
        const float black[4] = {0.0f, 0.0f, 0.0f, 1.0f};
        glClearBufferfv(GL_COLOR, 0, black);
        cache.bindReadFramebuffer(shared_->framebuffer(backBuffer_->glName(), 0, 0, false));
        // The one vertical flip: back-buffer row 0 (the top) goes to the window's top edge.
        const bool scaled = rect.width != width || rect.height != height;
        glBlitFramebuffer(0, 0, width, height, rect.x, rect.y + rect.height, rect.x + rect.width, rect.y,
                          GL_COLOR_BUFFER_BIT, scaled ? GL_LINEAR : GL_NEAREST);
        context.swapWindow();
    } else {
        glFlush();
    }
    pollGlErrors("Present");
    return D3D_OK;
}

} // namespace d3dgl
