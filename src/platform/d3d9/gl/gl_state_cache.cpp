// Redundant-call filter for one OpenGL context (see gl_state_cache.h).
#include "platform/d3d9/gl/gl_state_cache.h"

namespace d3dgl {

GlStateCache::GlStateCache()
{
    textures_.fill(~0u);
    samplers_.fill(~0u);
}

void GlStateCache::useProgram(GLuint program)
{
    if (program_ == program) return;
    program_ = program;
    ++calls_;
    glUseProgram(program);
}

void GlStateCache::bindVertexArray(GLuint vao)
{
    if (vao_ == vao) return;
    vao_ = vao;
    ++calls_;
    glBindVertexArray(vao);
}

void GlStateCache::bindDrawFramebuffer(GLuint fbo)
{
    if (drawFbo_ == fbo) return;
    drawFbo_ = fbo;
    ++calls_;
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, fbo);
}

void GlStateCache::bindReadFramebuffer(GLuint fbo)
{
    if (readFbo_ == fbo) return;
    readFbo_ = fbo;
    ++calls_;
    glBindFramebuffer(GL_READ_FRAMEBUFFER, fbo);
}

void GlStateCache::bindTexture(int unit, GLuint texture)
{
    if (textures_[unit] == texture) return;
    textures_[unit] = texture;
    ++calls_;
    glBindTextureUnit(static_cast<GLuint>(unit), texture);
}

void GlStateCache::bindSampler(int unit, GLuint sampler)
{
    if (samplers_[unit] == sampler) return;
    samplers_[unit] = sampler;
    ++calls_;
    glBindSampler(static_cast<GLuint>(unit), sampler);
}

void GlStateCache::setBlend(bool enabled, GLenum source, GLenum destination, GLenum equation)
{
    if (blendEnabled_ != int(enabled)) {
        blendEnabled_ = enabled;
        ++calls_;
        enabled ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
    }
    if (!enabled) return;
    if (blendSource_ != source || blendDestination_ != destination) {
        blendSource_ = source;
        blendDestination_ = destination;
        ++calls_;
        glBlendFunc(source, destination);
    }
    if (blendEquation_ != equation) {
        blendEquation_ = equation;
        ++calls_;
        glBlendEquation(equation);
    }
}

void GlStateCache::setDepth(bool testEnabled, bool writeEnabled, GLenum function)
{
    if (depthTest_ != int(testEnabled)) {
        depthTest_ = testEnabled;
        ++calls_;
        testEnabled ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
    }
    if (depthWrite_ != int(writeEnabled)) {
        depthWrite_ = writeEnabled;
        ++calls_;
        glDepthMask(writeEnabled ? GL_TRUE : GL_FALSE);
    }
    if (testEnabled && depthFunction_ != function) {
        depthFunction_ = function;
        ++calls_;
        glDepthFunc(function);
    }
}

void GlStateCache::setStencil(bool enabled, GLenum function, GLint reference, GLuint mask, GLuint writeMask,
                              GLenum fail, GLenum depthFail, GLenum pass)
{
    if (stencilEnabled_ != int(enabled)) {
        stencilEnabled_ = enabled;
        ++calls_;
        enabled ? glEnable(GL_STENCIL_TEST) : glDisable(GL_STENCIL_TEST);
    }
    if (!enabled) return;
    if (stencilFunction_ != function || stencilReference_ != reference || stencilMask_ != mask) {
        stencilFunction_ = function;
        stencilReference_ = reference;
        stencilMask_ = mask;
        ++calls_;
        glStencilFunc(function, reference, mask);
    }
    setStencilWriteMask(writeMask);
    if (stencilFail_ != fail || stencilDepthFail_ != depthFail || stencilPass_ != pass) {
        stencilFail_ = fail;
        stencilDepthFail_ = depthFail;
        stencilPass_ = pass;
        ++calls_;
        glStencilOp(fail, depthFail, pass);
    }
}

void GlStateCache::setStencilWriteMask(GLuint writeMask)
{
    if (stencilWriteKnown_ && stencilWriteMask_ == writeMask) return;
    stencilWriteKnown_ = true;
    stencilWriteMask_ = writeMask;
    ++calls_;
    glStencilMask(writeMask);
}

void GlStateCache::setCull(bool enabled, GLenum face)
{
    if (cullEnabled_ != int(enabled)) {
        cullEnabled_ = enabled;
        ++calls_;
        enabled ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
    }
    if (enabled && cullFace_ != face) {
        cullFace_ = face;
        ++calls_;
        glCullFace(face);
    }
}

void GlStateCache::setColorMask(bool red, bool green, bool blue, bool alpha)
{
    const int mask = int(red) | int(green) << 1 | int(blue) << 2 | int(alpha) << 3;
    if (colorMask_ == mask) return;
    colorMask_ = mask;
    ++calls_;
    glColorMask(red, green, blue, alpha);
}

void GlStateCache::setScissor(bool enabled, GLint x, GLint y, GLsizei width, GLsizei height)
{
    if (scissorEnabled_ != int(enabled)) {
        scissorEnabled_ = enabled;
        ++calls_;
        enabled ? glEnable(GL_SCISSOR_TEST) : glDisable(GL_SCISSOR_TEST);
    }
    if (!enabled) return;
    const std::array<GLint, 4> box{x, y, width, height};
    if (scissorBox_ == box) return;
    scissorBox_ = box;
    ++calls_;
    glScissor(x, y, width, height);
}

void GlStateCache::setViewport(GLint x, GLint y, GLsizei width, GLsizei height)
{
    const std::array<GLint, 4> box{x, y, width, height};
    if (viewport_ == box) return;
    viewport_ = box;
    ++calls_;
    glViewport(x, y, width, height);
}

void GlStateCache::setDepthRange(float nearValue, float farValue)
{
    if (depthNear_ == nearValue && depthFar_ == farValue) return;
    depthNear_ = nearValue;
    depthFar_ = farValue;
    ++calls_;
    glDepthRangef(nearValue, farValue);
}

void GlStateCache::setPolygonMode(GLenum mode)
{
    if (polygonMode_ == mode) return;
    polygonMode_ = mode;
    ++calls_;
    glPolygonMode(GL_FRONT_AND_BACK, mode);
}

void GlStateCache::forgetTexture(GLuint texture)
{
    for (GLuint& bound : textures_)
        if (bound == texture) bound = ~0u;
}

void GlStateCache::forgetFramebuffer(GLuint fbo)
{
    if (drawFbo_ == fbo) drawFbo_ = ~0u;
    if (readFbo_ == fbo) readFbo_ = ~0u;
}

void GlStateCache::forgetVertexArray(GLuint vao)
{
    if (vao_ == vao) vao_ = ~0u;
}

void GlStateCache::forgetProgram(GLuint program)
{
    if (program_ == program) program_ = ~0u;
}

} // namespace d3dgl
