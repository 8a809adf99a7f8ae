// The GL backend's targets: framebuffer binding, Clear, read-back and Present.
#include "platform/d3d9/gl/gl_device.h"

#include "platform/d3d9/gl/ff_pipeline.h"
#include "platform/d3d9/gl/gl_diagnostics.h"
#include "platform/d3d9/gl/gl_formats.h"
#include "platform/d3d9/gl/gl_texture.h"
#include "platform/d3d9/gl/letterbox.h"

#include <algorithm>

namespace d3dgl {

void GlDevice::targetsChanged()
{
    FfTarget target;
    const D3DSURFACE_DESC& desc = this->target()->desc();
    target.width = desc.Width;
    target.height = desc.Height;
    target.alphaless = desc.Format == D3DFMT_X8R8G8B8;
    GLuint depth = 0;
    // A depth surface smaller than the target is left out, as Direct3D drivers do, rather
    // than shrinking the drawable area to the overlap.
    if (this->depth() && depthUsable()) {
        target.hasDepth = true;
        target.hasStencil = this->depth()->hasStencil();
        depth = this->depth()->glRenderbuffer();
    }
    shared_->makeCurrent();
    target.framebuffer =
        shared_->framebuffer(this->target()->glTexture(), this->target()->glLevel(), depth, target.hasStencil);
    pipeline_->setTarget(target);
    state_.dirty |= kDirtyBlend | kDirtyDepthStencil | kDirtyViewport;
}

bool GlDevice::depthUsable() const
{
    const D3DSURFACE_DESC& colour = target()->desc();
    const D3DSURFACE_DESC& depthDesc = depth()->desc();
    return depthDesc.Width >= colour.Width && depthDesc.Height >= colour.Height;
}

void GlDevice::readBack(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destSurface)
{
    auto* source = static_cast<GlSurface*>(renderTarget);
    auto* destination = static_cast<GlSurface*>(destSurface);
    const D3DSURFACE_DESC& to = destination->desc();

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
}

void GlDevice::clear(DWORD flags, D3DCOLOR color, float z, DWORD stencil, const RECT& area)
{
    shared_->makeCurrent();
    GlStateCache& cache = shared_->cache();
    cache.bindDrawFramebuffer(pipeline_->target().framebuffer);
    // Clears ignore every write mask.
    cache.setColorMask(true, true, true, true);
    cache.setDepth(false, true, GL_ALWAYS);
    cache.setStencilWriteMask(0xFFFFFFFFu);
    state_.dirty |= kDirtyRaster | kDirtyDepthStencil | kDirtyViewport;

    float rgba[4];
    d3dColorToFloats(color, rgba);
    if (pipeline_->target().alphaless) rgba[3] = 1.0f;
    const GLint stencilValue = static_cast<GLint>(stencil & 0xFF);
    // Framebuffer row 0 is the top row, so Direct3D rectangles need no flip.
    cache.setScissor(true, area.left, area.top, area.right - area.left, area.bottom - area.top);
    if (flags & D3DCLEAR_TARGET) glClearBufferfv(GL_COLOR, 0, rgba);
    const bool depthToo = (flags & D3DCLEAR_ZBUFFER) != 0, stencilToo = (flags & D3DCLEAR_STENCIL) != 0;
    if ((depthToo || stencilToo) && !pipeline_->target().hasDepth) {
        // The depth surface is not attached to this target (it is smaller): clear it alone.
        cache.bindDrawFramebuffer(shared_->framebuffer(0, 0, depth()->glRenderbuffer(), depth()->hasStencil()));
    }
    if (depthToo && stencilToo) {
        glClearBufferfi(GL_DEPTH_STENCIL, 0, z, stencilValue);
    } else if (depthToo) {
        glClearBufferfv(GL_DEPTH, 0, &z);
    } else if (stencilToo) {
        glClearBufferiv(GL_STENCIL, 0, &stencilValue);
    }
    cache.bindDrawFramebuffer(pipeline_->target().framebuffer);
}

void GlDevice::present()
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
}

} // namespace d3dgl
