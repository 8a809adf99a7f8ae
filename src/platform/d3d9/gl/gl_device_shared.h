// What a device's resources share with it and outlive it with: the OpenGL context, the
// framebuffer objects built for render-target/depth pairs, and a pointer back to the device
// (null once the device is gone). Held by shared_ptr, so OpenGL objects are always deleted
// with their own context current, whatever order the caller releases things in.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/gl/gl_context.h"
#include "platform/d3d9/gl/gl_state_cache.h"

#include <epoxy/gl.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace d3dgl {

class GlDeviceShared {
public:
    explicit GlDeviceShared(std::shared_ptr<GlContext> context);
    ~GlDeviceShared();
    GlDeviceShared(const GlDeviceShared&) = delete;
    GlDeviceShared& operator=(const GlDeviceShared&) = delete;

    void makeCurrent() { context_->makeCurrent(); }
    GlContext& context() { return *context_; }
    GlStateCache& cache() { return context_->cache(); }

    // The framebuffer drawing into colour texture level (0: none) with depth renderbuffer
    // (0: none); built on first use and kept until one of its attachments is deleted.
    GLuint framebuffer(GLuint colorTexture, GLint level, GLuint depthRenderbuffer, bool depthHasStencil);
    void forgetTexture(GLuint texture);
    void forgetRenderbuffer(GLuint renderbuffer);

    // Buffers deleted since the pipeline last looked: vertex arrays remember buffer names,
    // which OpenGL reuses.
    void noteBufferDeleted(GLuint name) { deletedBuffers_.push_back(name); }
    std::vector<GLuint> takeDeletedBuffers() { return std::exchange(deletedBuffers_, {}); }
    bool buffersDeleted() const { return !deletedBuffers_.empty(); }

    IDirect3DDevice9* device = nullptr;

private:
    // Colour texture, its level, depth renderbuffer.
    using FramebufferKey = std::tuple<GLuint, GLint, GLuint>;
    void deleteFramebuffersWhere(const std::function<bool(const FramebufferKey&)>& attachedTo);

    std::shared_ptr<GlContext> context_;
    std::map<FramebufferKey, GLuint> framebuffers_;
    std::vector<GLuint> deletedBuffers_;
};

using GlShared = std::shared_ptr<GlDeviceShared>;

} // namespace d3dgl
