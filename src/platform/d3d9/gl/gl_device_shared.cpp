// Framebuffer objects per attachment pair, and the context's lifetime (see gl_device_shared.h).
#include "platform/d3d9/gl/gl_device_shared.h"

#include <vector>

namespace d3dgl {

GlDeviceShared::GlDeviceShared(std::shared_ptr<GlContext> context) : context_(std::move(context)) {}

GlDeviceShared::~GlDeviceShared()
{
    makeCurrent();
    for (auto& entry : framebuffers_) {
        cache().forgetFramebuffer(entry.second);
        glDeleteFramebuffers(1, &entry.second);
    }
}

GLuint GlDeviceShared::framebuffer(GLuint colorTexture, GLint level, GLuint depthRenderbuffer, bool depthHasStencil)
{
    const auto key = std::make_tuple(colorTexture, level, depthRenderbuffer);
    auto found = framebuffers_.find(key);
    if (found != framebuffers_.end()) return found->second;

    GLuint fbo = 0;
    glCreateFramebuffers(1, &fbo);
    if (colorTexture) {
        glNamedFramebufferTexture(fbo, GL_COLOR_ATTACHMENT0, colorTexture, level);
        glNamedFramebufferDrawBuffer(fbo, GL_COLOR_ATTACHMENT0);
        glNamedFramebufferReadBuffer(fbo, GL_COLOR_ATTACHMENT0);
    } else {
        glNamedFramebufferDrawBuffer(fbo, GL_NONE);
        glNamedFramebufferReadBuffer(fbo, GL_NONE);
    }
    if (depthRenderbuffer) {
        glNamedFramebufferRenderbuffer(fbo, depthHasStencil ? GL_DEPTH_STENCIL_ATTACHMENT : GL_DEPTH_ATTACHMENT,
                                       GL_RENDERBUFFER, depthRenderbuffer);
    }
    framebuffers_.emplace(key, fbo);
    return fbo;
}

void GlDeviceShared::forgetTexture(GLuint texture)
{
    cache().forgetTexture(texture);
    deleteFramebuffersWhere([texture](const FramebufferKey& key) { return std::get<0>(key) == texture; });
}

void GlDeviceShared::forgetRenderbuffer(GLuint renderbuffer)
{
    deleteFramebuffersWhere([renderbuffer](const FramebufferKey& key) { return std::get<2>(key) == renderbuffer; });
}

void GlDeviceShared::deleteFramebuffersWhere(const std::function<bool(const FramebufferKey&)>& attachedTo)
{
    std::vector<GLuint> doomed;
    for (auto it = framebuffers_.begin(); it != framebuffers_.end();) {
        if (attachedTo(it->first)) {
            doomed.push_back(it->second);
            it = framebuffers_.erase(it);
        } else {
            ++it;
        }
    }
    for (GLuint fbo : doomed) {
        cache().forgetFramebuffer(fbo);
        glDeleteFramebuffers(1, &fbo);
    }
}

} // namespace d3dgl
