// The OpenGL bindings and fixed pipeline settings of one context as last set through this
// cache, so that the device issues a GL call only when a value really changes. Deleting an
// object must be reported (forget*) because OpenGL reuses names.
#pragma once

#include <epoxy/gl.h>

#include <array>
#include <cstdint>

namespace d3dgl {

class GlStateCache {
public:
    static constexpr int kUnits = 8;

    GlStateCache();

    void useProgram(GLuint program);
    void bindVertexArray(GLuint vao);
    void bindDrawFramebuffer(GLuint fbo);
    void bindReadFramebuffer(GLuint fbo);
    void bindTexture(int unit, GLuint texture);
    void bindSampler(int unit, GLuint sampler);

    void setBlend(bool enabled, GLenum source, GLenum destination, GLenum equation);
    void setDepth(bool testEnabled, bool writeEnabled, GLenum function);
    void setStencil(bool enabled, GLenum function, GLint reference, GLuint mask, GLuint writeMask,
                    GLenum fail, GLenum depthFail, GLenum pass);
    void setStencilWriteMask(GLuint writeMask);
    void setCull(bool enabled, GLenum face);
    void setColorMask(bool red, bool green, bool blue, bool alpha);
    void setScissor(bool enabled, GLint x, GLint y, GLsizei width, GLsizei height);
    void setViewport(GLint x, GLint y, GLsizei width, GLsizei height);
    void setDepthRange(float nearValue, float farValue);
    void setPolygonMode(GLenum mode);

    void forgetTexture(GLuint texture);
    void forgetFramebuffer(GLuint fbo);
    void forgetVertexArray(GLuint vao);
    void forgetProgram(GLuint program);

    // Number of GL calls the cache let through (for the benchmark and redundancy tests).
    std::uint64_t callsIssued() const { return calls_; }

private:
    GLuint program_ = ~0u;
    GLuint vao_ = ~0u;
    GLuint drawFbo_ = ~0u;
    GLuint readFbo_ = ~0u;
    std::array<GLuint, kUnits> textures_;
    std::array<GLuint, kUnits> samplers_;

    int blendEnabled_ = -1;
    GLenum blendSource_ = 0, blendDestination_ = 0, blendEquation_ = 0;
    int depthTest_ = -1, depthWrite_ = -1;
    GLenum depthFunction_ = 0;
    int stencilEnabled_ = -1;
    GLenum stencilFunction_ = 0;
    GLint stencilReference_ = -1;
    GLuint stencilMask_ = 0, stencilWriteMask_ = 0;
    bool stencilWriteKnown_ = false;
    GLenum stencilFail_ = 0, stencilDepthFail_ = 0, stencilPass_ = 0;
    int cullEnabled_ = -1;
    GLenum cullFace_ = 0;
    int colorMask_ = -1;
    int scissorEnabled_ = -1;
    std::array<GLint, 4> scissorBox_{-1, -1, -1, -1};
    std::array<GLint, 4> viewport_{-1, -1, -1, -1};
    float depthNear_ = -1.0f, depthFar_ = -1.0f;
    GLenum polygonMode_ = 0;
    std::uint64_t calls_ = 0;
};

} // namespace d3dgl
