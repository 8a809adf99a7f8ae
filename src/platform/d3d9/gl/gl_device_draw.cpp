// The draw hook of the GL backend: resolve buffers and textures of a draw the core has
// checked, and hand it to the pipeline.
#include "platform/d3d9/gl/gl_device.h"

#include "platform/d3d9/gl/ff_pipeline.h"
#include "platform/d3d9/gl/gl_buffers.h"
#include "platform/d3d9/gl/gl_texture.h"

namespace d3dgl {

void GlDevice::draw(const DrawCall& request)
{
    std::array<FfStageTexture, D3D_MAX_STAGES> textures{};
    for (DWORD stage = 0; stage < D3D_MAX_STAGES; ++stage)
        if (textures_[stage]) textures[stage].name = static_cast<GlTexture*>(textures_[stage])->glName();

    shared_->makeCurrent();
    FfDrawCall call;
    call.type = request.type;
    call.stride = static_cast<GLsizei>(request.stride);
    call.count = static_cast<GLsizei>(request.count);
    if (request.vertexBuffer) {
        auto* vertices = static_cast<GlVertexBuffer*>(request.vertexBuffer);
        call.vertexBuffer = vertices->storage().name();
        call.arrayHint = &vertices->arrayHint();
        call.vertexOffset = request.vertexOffset;
        call.firstVertex = static_cast<GLint>(request.firstVertex);
    } else {
        const GlStreamRing::Slice slice = pipeline_->streamVertices(request.vertexData, request.vertexBytes);
        call.vertexBuffer = slice.buffer;
        call.vertexOffset = slice.offset;
        call.streamed = true;
    }
    if (request.indexSize != 0) {
        call.indexed = true;
        call.indexType = request.indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
        call.baseVertex = request.baseVertex;
        if (request.indexBuffer) {
            call.indexBuffer = static_cast<GlIndexBuffer*>(request.indexBuffer)->storage().name();
            call.indexOffset = static_cast<GLintptr>(request.firstIndex) * request.indexSize;
        } else {
            const GlStreamRing::Slice slice =
                pipeline_->streamIndices(request.indexData, static_cast<std::size_t>(request.count) * request.indexSize);
            call.indexBuffer = slice.buffer;
            call.indexOffset = slice.offset;
            call.streamed = true;
        }
    }
    pipeline_->draw(state_, textures, call, submitDraws_);
}

} // namespace d3dgl
