// The OpenGL side of drawing: turns the Direct3D state vector into GL state (through the
// state cache), picks or builds the fixed-function program for the state's key, streams the
// per-draw values into uniform blocks, and issues the draw. Knows nothing about COM objects.
#pragma once

#include "platform/d3d9/core/device_state.h"
#include "platform/d3d9/gl/ff_constants.h"
#include "platform/d3d9/core/ff_key.h"
#include "platform/d3d9/gl/ff_program_cache.h"
#include "platform/d3d9/gl/ff_vertex_arrays.h"
#include "platform/d3d9/gl/gl_device_shared.h"
#include "platform/d3d9/gl/gl_stream_ring.h"

#include <epoxy/gl.h>

#include <array>
#include <memory>

namespace d3dgl {

// The device core's types read as this backend's own.
using namespace d3dcore;

// Where a draw lands.
struct FfTarget {
    GLuint framebuffer = 0;
    UINT width = 0, height = 0;
    bool alphaless = false;   // X8R8G8B8: destination alpha reads as 1
    bool hasDepth = false;
    bool hasStencil = false;
};

// One texture as a stage sees it.
struct FfStageTexture {
    GLuint name = 0;          // 0: no texture on the stage
};

// The vertex and index data of one draw, already resolved to OpenGL buffers.
struct FfDrawCall {
    D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
    GLuint vertexBuffer = 0;
    GLintptr vertexOffset = 0;  // bytes to vertex 0
    GLsizei stride = 0;
    GLint firstVertex = 0;      // non-indexed draws
    GLsizei count = 0;          // vertices or indices
    bool indexed = false;
    GLuint indexBuffer = 0;
    GLintptr indexOffset = 0;   // bytes to the first index
    GLenum indexType = GL_UNSIGNED_SHORT;
    GLint baseVertex = 0;
    bool streamed = false;      // from user memory, through the streaming buffers
    FfVertexArrays::Hint* arrayHint = nullptr;  // kept with the vertex buffer
};

class FfPipeline {
public:
    FfPipeline(GlDeviceShared& shared, float maxPointSize);
    ~FfPipeline();

    // The device calls this when the render target or depth surface changed.
    void setTarget(const FfTarget& target);
    const FfTarget& target() const { return target_; }

    // Applies every dirty part of the state and draws; submit = false stops right before the
    // OpenGL draw call (the benchmark's way to separate the device's work from the driver's).
    void draw(DeviceState& state, const std::array<FfStageTexture, D3D_MAX_STAGES>& textures,
              const FfDrawCall& call, bool submit);

    // Copies user vertex or index data into its streaming buffer.
    GlStreamRing::Slice streamVertices(const void* data, std::size_t bytes);
    GlStreamRing::Slice streamIndices(const void* data, std::size_t bytes);

    // Fences the streaming buffers at the end of a frame.
    void frameDone();

    std::size_t programCount() const { return programs_.size(); }
    // Vertex arrays kept for device buffer sets.
    std::size_t bufferArrayCount() const { return arrays_.bufferArrayCount(); }
    // OpenGL state calls that got through the state cache so far.
    std::uint64_t stateCallsIssued() const { return shared_.cache().callsIssued(); }

private:
    void applyViewport(DeviceState& state);
    void applyRaster(const DeviceState& state, bool points);
    void applyBlend(const DeviceState& state);
    void applyDepthStencil(const DeviceState& state);
    void applySamplers(DeviceState& state);
    void updateConstants(DeviceState& state);
    void uploadConstants(FfProgram& program);

    GlDeviceShared& shared_;
    float maxPointSize_;
    FfTarget target_;
    bool targetChanged_ = true;

    FfProgramCache programs_;
    FfKey key_{};
    FfProgram* program_ = nullptr;
    bool keyValid_ = false;
    bool lastWasPoints_ = false;
    std::array<bool, D3D_MAX_STAGES> lastBound_{};

    std::array<GLuint, D3D_MAX_STAGES> samplers_{};
    bool anisotropyAvailable_ = false;
    std::unique_ptr<GlStreamRing> vertices_;
    std::unique_ptr<GlStreamRing> indices_;

    // The current values of the three uniform arrays and a version for each (0: never filled).
    FfDrawBlock drawBlock_{};
    FfLightBlock lightBlock_{};
    FfTextureBlock textureBlock_{};
    std::array<std::uint64_t, kUniformArrays> versions_{};
    // Changes only with the draw array's values past its matrices (material, viewport, points).
    std::uint64_t drawTailVersion_ = 0;
    std::uint64_t nextVersion_ = 1;

    FfVertexArrays arrays_;
};

} // namespace d3dgl
