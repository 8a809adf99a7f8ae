// Direct3D state → OpenGL state and draws (see ff_pipeline.h). Each group of state is
// re-derived only when the device marked it dirty; the state cache then drops GL calls that
// would not change anything.
#include "platform/d3d9/gl/ff_pipeline.h"

#include "platform/d3d9/gl/ff_constants.h"
#include "platform/d3d9/gl/ff_glsl.h"
#include "platform/d3d9/gl/ff_state_translation.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace d3dgl {

namespace {

// Streaming buffers for user-pointer draws, made on the first such draw (the driver clears
// their storage, which is not free).
constexpr std::size_t kVertexRingBytes = 4u << 20;
constexpr std::size_t kIndexRingBytes = 1u << 20;
// World-view, projection and normal matrix lead the draw array.
constexpr GLsizei kDrawMatrixVec4s = offsetof(FfDrawBlock, materialDiffuse) / 16;
static_assert(kDrawMatrixVec4s == 12, "the three matrices lead the draw array");

GlStreamRing::Slice streamInto(GlStreamRing& ring, const void* data, std::size_t bytes)
{
    GlStreamRing::Slice slice = ring.allocate(bytes, 16);
    if (slice.pointer)
        std::memcpy(slice.pointer, data, bytes);
    else
        glNamedBufferSubData(slice.buffer, slice.offset, static_cast<GLsizeiptr>(bytes), data);
    return slice;
}

} // namespace

FfPipeline::FfPipeline(GlDeviceShared& shared, float maxPointSize)
    : shared_(shared), maxPointSize_(maxPointSize), arrays_(shared.cache())
{
    glCreateSamplers(static_cast<GLsizei>(samplers_.size()), samplers_.data());
    // Asked once: the extension query walks the driver's extension list.
    anisotropyAvailable_ = epoxy_has_gl_extension("GL_EXT_texture_filter_anisotropic") || epoxy_gl_version() >= 46;
}

FfPipeline::~FfPipeline()
{
    GlStateCache& cache = shared_.cache();
    for (int unit = 0; unit < static_cast<int>(D3D_MAX_STAGES); ++unit) cache.bindSampler(unit, 0);
    glDeleteSamplers(static_cast<GLsizei>(samplers_.size()), samplers_.data());
    cache.useProgram(0);
}

void FfPipeline::setTarget(const FfTarget& target)
{
    target_ = target;
    targetChanged_ = true;
}

GlStreamRing::Slice FfPipeline::streamVertices(const void* data, std::size_t bytes)
{
    if (!vertices_) vertices_ = std::make_unique<GlStreamRing>(kVertexRingBytes);
    return streamInto(*vertices_, data, bytes);
}

GlStreamRing::Slice FfPipeline::streamIndices(const void* data, std::size_t bytes)
{
    if (!indices_) indices_ = std::make_unique<GlStreamRing>(kIndexRingBytes);
    return streamInto(*indices_, data, bytes);
}

void FfPipeline::frameDone()
{
    if (vertices_) vertices_->fenceCurrent();
    if (indices_) indices_->fenceCurrent();
}

void FfPipeline::applyViewport(DeviceState& state)
{
    GlStateCache& cache = shared_.cache();
    const D3DVIEWPORT9& v = state.viewport;
    // Framebuffer row 0 is the Direct3D top row, so Direct3D rectangles go in unchanged.
    cache.setViewport(static_cast<GLint>(v.X), static_cast<GLint>(v.Y), static_cast<GLsizei>(v.Width),
                      static_cast<GLsizei>(v.Height));
    cache.setDepthRange(v.MinZ, v.MaxZ);
    if (state.rs(D3DRS_SCISSORTESTENABLE)) {
        const RECT& r = state.scissor;
        const LONG left = std::max<LONG>(r.left, 0), top = std::max<LONG>(r.top, 0);
        const LONG right = std::min<LONG>(r.right, static_cast<LONG>(target_.width));
        const LONG bottom = std::min<LONG>(r.bottom, static_cast<LONG>(target_.height));
        cache.setScissor(true, left, top, std::max<LONG>(right - left, 0), std::max<LONG>(bottom - top, 0));
    } else {
        cache.setScissor(false, 0, 0, 0, 0);
    }
}

void FfPipeline::applyRaster(const DeviceState& state, bool points)
{
    GlStateCache& cache = shared_.cache();
    const DWORD cull = state.rs(D3DRS_CULLMODE);
    // Sprites have no facing; the quads they become must not be culled.
    if (points || cull == D3DCULL_NONE)
        cache.setCull(false, GL_BACK);
    else
        cache.setCull(true, cull == D3DCULL_CW ? GL_FRONT : GL_BACK);
    cache.setPolygonMode(glFillMode(state.rs(D3DRS_FILLMODE)));
    const DWORD mask = state.rs(D3DRS_COLORWRITEENABLE);
    cache.setColorMask(mask & 1, mask & 2, mask & 4, mask & 8);
}

void FfPipeline::applyBlend(const DeviceState& state)
{
    GlStateCache& cache = shared_.cache();
    if (!state.rs(D3DRS_ALPHABLENDENABLE)) {
        cache.setBlend(false, GL_ONE, GL_ZERO, GL_FUNC_ADD);
        return;
    }
    cache.setBlend(true, glBlendFactor(state.rs(D3DRS_SRCBLEND), target_.alphaless),
                   glBlendFactor(state.rs(D3DRS_DESTBLEND), target_.alphaless), glBlendEquationOf(state.rs(D3DRS_BLENDOP)));
}

void FfPipeline::applyDepthStencil(const DeviceState& state)
{
    GlStateCache& cache = shared_.cache();
    const bool depthTest = target_.hasDepth && state.rs(D3DRS_ZENABLE) != D3DZB_FALSE;
    cache.setDepth(depthTest, depthTest && state.rs(D3DRS_ZWRITEENABLE), glCompareFunction(state.rs(D3DRS_ZFUNC)));
    const bool stencil = target_.hasStencil && state.rs(D3DRS_STENCILENABLE);
    cache.setStencil(stencil, glCompareFunction(state.rs(D3DRS_STENCILFUNC)),
                     static_cast<GLint>(state.rs(D3DRS_STENCILREF) & 0xFF), state.rs(D3DRS_STENCILMASK),
                     state.rs(D3DRS_STENCILWRITEMASK), glStencilOperation(state.rs(D3DRS_STENCILFAIL)),
                     glStencilOperation(state.rs(D3DRS_STENCILZFAIL)), glStencilOperation(state.rs(D3DRS_STENCILPASS)));
}

void FfPipeline::applySamplers(DeviceState& state)
{
    for (DWORD unit = 0; unit < D3D_MAX_STAGES; ++unit) {
        if (!(state.dirtySamplers & (1u << unit))) continue;
        const auto& s = state.samplerStates[unit];
        const GLuint sampler = samplers_[unit];
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_S, glAddressMode(s[D3DSAMP_ADDRESSU]));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_T, glAddressMode(s[D3DSAMP_ADDRESSV]));
        glSamplerParameteri(sampler, GL_TEXTURE_WRAP_R, glAddressMode(s[D3DSAMP_ADDRESSW]));
        const DWORD border = s[D3DSAMP_BORDERCOLOR];
        const float borderColor[4] = {((border >> 16) & 0xFF) / 255.0f, ((border >> 8) & 0xFF) / 255.0f,
                                      (border & 0xFF) / 255.0f, ((border >> 24) & 0xFF) / 255.0f};
        glSamplerParameterfv(sampler, GL_TEXTURE_BORDER_COLOR, borderColor);
        glSamplerParameteri(sampler, GL_TEXTURE_MAG_FILTER, glMagFilter(s[D3DSAMP_MAGFILTER]));
        glSamplerParameteri(sampler, GL_TEXTURE_MIN_FILTER, glMinFilter(s[D3DSAMP_MINFILTER], s[D3DSAMP_MIPFILTER]));
        glSamplerParameterf(sampler, GL_TEXTURE_LOD_BIAS, d3dBitsFloat(s[D3DSAMP_MIPMAPLODBIAS]));
        // The most detailed level that may be used; ignored by non-mipmapped filters, as
        // Direct3D ignores it with MIPFILTER NONE.
        glSamplerParameterf(sampler, GL_TEXTURE_MIN_LOD, static_cast<float>(s[D3DSAMP_MAXMIPLEVEL]));
        const bool anisotropic = s[D3DSAMP_MINFILTER] == D3DTEXF_ANISOTROPIC || s[D3DSAMP_MAGFILTER] == D3DTEXF_ANISOTROPIC;
        const float anisotropy = anisotropic ? static_cast<float>(std::clamp<DWORD>(s[D3DSAMP_MAXANISOTROPY], 1, 16)) : 1.0f;
        if (anisotropyAvailable_)
            glSamplerParameterf(sampler, GL_TEXTURE_MAX_ANISOTROPY_EXT, anisotropy);
    }
    state.dirtySamplers = 0;
}

void FfPipeline::updateConstants(DeviceState& state)
{
    if (state.dirty & (kDirtyMaterial | kDirtyViewport) || !versions_[kUniformDraw]) {
        fillDrawBlock(state, maxPointSize_, &drawBlock_);
        versions_[kUniformDraw] = nextVersion_++;
        drawTailVersion_ = versions_[kUniformDraw];
    } else if (state.dirty & kDirtyTransforms) {
        fillDrawTransforms(state, &drawBlock_);
        versions_[kUniformDraw] = nextVersion_++;
    }
    if (state.dirty & kDirtyLights || !versions_[kUniformLights]) {
        fillLightBlock(state, &lightBlock_);
        versions_[kUniformLights] = nextVersion_++;
    }
    if (state.dirty & kDirtyTextureMatrices || !versions_[kUniformTextures]) {
        fillTextureBlock(state, &textureBlock_);
        versions_[kUniformTextures] = nextVersion_++;
    }
}

void FfPipeline::uploadConstants(FfProgram& program)
{
    // Plain uniforms rather than buffers: a software rasteriser copies a bound uniform buffer
    // per draw, while a program's own uniforms travel only when they change.
    const float* data[kUniformArrays] = {drawBlock_.worldView, lightBlock_.lights[0].diffuse,
                                         textureBlock_.matrices[0]};
    const GLsizei lengths[kUniformArrays] = {sizeof drawBlock_ / 16, sizeof lightBlock_ / 16, sizeof textureBlock_ / 16};
    // The program is current here, so the plain call spares the driver looking it up by name.
    for (int i = 0; i < kUniformArrays; ++i) {
        if (program.versions[i] == versions_[i]) continue;
        program.versions[i] = versions_[i];
        GLsizei length = lengths[i];
        if (i == kUniformDraw) {
            // Between most draws only the matrices at the front of the array change.
            if (program.drawTailVersion == drawTailVersion_) length = kDrawMatrixVec4s;
            program.drawTailVersion = drawTailVersion_;
        }
        if (program.locations[i] >= 0) glUniform4fv(program.locations[i], length, data[i]);
    }
}

void FfPipeline::draw(DeviceState& state, const std::array<FfStageTexture, D3D_MAX_STAGES>& textures,
                      const FfDrawCall& call, bool submit)
{
    GlStateCache& cache = shared_.cache();
    cache.bindDrawFramebuffer(target_.framebuffer);

    const bool points = call.type == D3DPT_POINTLIST;
    if (targetChanged_) {
        state.dirty |= kDirtyBlend | kDirtyDepthStencil | kDirtyViewport | kDirtyMaterial;
        targetChanged_ = false;
    }
    if (points != lastWasPoints_) {
        state.dirty |= kDirtyProgramKey | kDirtyRaster;
        lastWasPoints_ = points;
    }
    FfBoundTextures bound{};
    for (DWORD stage = 0; stage < D3D_MAX_STAGES; ++stage) bound[stage] = textures[stage].name != 0;
    if (bound != lastBound_) {
        state.dirty |= kDirtyProgramKey;
        lastBound_ = bound;
    }

    if (state.dirty & kDirtyViewport) applyViewport(state);
    if (state.dirty & kDirtyRaster) applyRaster(state, points);
    if (state.dirty & kDirtyBlend) applyBlend(state);
    if (state.dirty & kDirtyDepthStencil) applyDepthStencil(state);
    if (state.dirty & kDirtySamplers) applySamplers(state);
    if (state.dirty & (kDirtyProgramKey | kDirtyLights) || !keyValid_) {
        const FfKey key = buildFfKey(state, bound, points);
        if (!keyValid_ || !(key == key_)) {
            key_ = key;
            program_ = &programs_.program(key_);
            keyValid_ = true;
        }
    }
    updateConstants(state);
    state.dirty = 0;
    if (!program_->name) return;
    cache.useProgram(program_->name);
    uploadConstants(*program_);

    for (DWORD stage = 0; stage < D3D_MAX_STAGES; ++stage) {
        if (!key_.stages[stage].sampled) continue;
        cache.bindTexture(static_cast<int>(stage), textures[stage].name);
        cache.bindSampler(static_cast<int>(stage), samplers_[stage]);
    }

    if (shared_.buffersDeleted()) arrays_.forgetBuffers(shared_.takeDeletedBuffers());
    const FfVertexArrays::Source source{call.vertexBuffer, call.vertexOffset, call.stride,
                                        call.indexed ? call.indexBuffer : 0};
    if (call.streamed)
        arrays_.bindForStream(state.fvf, source);
    else
        arrays_.bindForBuffers(state.fvf, source, call.arrayHint);

    if (!submit) return;
    const GLenum mode = glPrimitiveMode(call.type);
    if (call.indexed) {
        glDrawElementsBaseVertex(mode, call.count, call.indexType, reinterpret_cast<const void*>(call.indexOffset),
                                 call.baseVertex);
    } else {
        glDrawArrays(mode, call.firstVertex, call.count);
    }
}

} // namespace d3dgl
