// Current-context bookkeeping shared by the EGL and SDL contexts.
#include "platform/d3d9/gl/gl_context.h"

#include "platform/d3d9/gl/gl_diagnostics.h"
#include "platform/d3d9/gl/gl_state_cache.h"

#include <epoxy/gl.h>

namespace d3dgl {

GlContext* GlContext::current_ = nullptr;

GlContext::GlContext() = default;

GlContext::~GlContext() = default;

void GlContext::contextReady()
{
    current_ = this;
    cache_ = std::make_unique<GlStateCache>();
    installGlDebugOutput();
    // Direct3D's depth range 0..1. The vertex stage negates y, so NDC y = +1 lands on
    // framebuffer row 0 and every framebuffer object holds its image top row first, like a
    // Direct3D surface; the flip mirrors the winding, so Direct3D's clockwise front faces are
    // counter-clockwise here.
    glClipControl(GL_LOWER_LEFT, GL_ZERO_TO_ONE);
    glFrontFace(GL_CCW);
    glDisable(GL_DITHER);
    glProvokingVertex(GL_FIRST_VERTEX_CONVENTION);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
}

} // namespace d3dgl
