// The draw calls of the GL device: validate what Direct3D would refuse (so no draw ever reads
// outside its buffers), resolve buffers and textures, and hand the draw to the pipeline.
#include "platform/d3d9/gl/gl_device.h"

#include "platform/d3d9/gl/ff_pipeline.h"
#include "platform/d3d9/gl/gl_buffers.h"
#include "platform/d3d9/gl/gl_texture.h"

namespace d3dgl {

namespace {

bool knownPrimitive(D3DPRIMITIVETYPE type) { return type >= D3DPT_POINTLIST && type <= D3DPT_TRIANGLEFAN; }

std::array<FfStageTexture, D3D_MAX_STAGES> stageTextures(const std::array<IDirect3DBaseTexture9*, D3D_MAX_STAGES>& bound)
{
    std::array<FfStageTexture, D3D_MAX_STAGES> textures{};
    for (DWORD stage = 0; stage < D3D_MAX_STAGES; ++stage)
        if (bound[stage]) textures[stage].name = static_cast<GlTexture*>(bound[stage])->glName();
    return textures;
}

} // namespace

bool GlDevice::drawAllowed(D3DPRIMITIVETYPE type, UINT primitiveCount) const
{
    return inScene_ && knownPrimitive(type) && primitiveCount > 0 && state_.fvf != 0 && d3dFvfStride(state_.fvf) > 0;
}

HRESULT GlDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    if (!drawAllowed(type, primitiveCount) || !stream_) return D3DERR_INVALIDCALL;
    const UINT stride = streamStride_;
    const std::uint64_t vertices = d3dVertexCount(type, primitiveCount);
    const std::uint64_t end = streamOffset_ + (startVertex + vertices) * static_cast<std::uint64_t>(stride);
    if (stride < d3dFvfStride(state_.fvf) || end > stream_->storage().length()) return D3DERR_INVALIDCALL;

    FfDrawCall call;
    call.type = type;
    call.vertexBuffer = stream_->storage().name();
    call.vertexOffset = streamOffset_;
    call.stride = static_cast<GLsizei>(stride);
    call.firstVertex = static_cast<GLint>(startVertex);
    call.count = static_cast<GLsizei>(vertices);
    shared_->makeCurrent();
    pipeline_->draw(state_, stageTextures(textures_), call, submitDraws_);
    return D3D_OK;
}

HRESULT GlDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int baseVertexIndex, UINT minVertexIndex,
                                       UINT numVertices, UINT startIndex, UINT primitiveCount)
{
    if (!drawAllowed(type, primitiveCount) || !stream_ || !indices_) return D3DERR_INVALIDCALL;
    const UINT indexSize = indices_->indexSize();
    const std::uint64_t count = d3dVertexCount(type, primitiveCount);
    if ((startIndex + count) * indexSize > indices_->storage().length()) return D3DERR_INVALIDCALL;
    UINT lowest = 0, highest = 0;
    indices_->indexRange(startIndex, static_cast<UINT>(count), &lowest, &highest);
    // Every vertex the indices reach must exist in the stream.
    const UINT stride = streamStride_;
    const std::int64_t first = static_cast<std::int64_t>(baseVertexIndex) + lowest;
    const std::int64_t last = static_cast<std::int64_t>(baseVertexIndex) + highest;
    if (stride < d3dFvfStride(state_.fvf) || first < 0 ||
        streamOffset_ + static_cast<std::uint64_t>(last + 1) * stride > stream_->storage().length())
        return D3DERR_INVALIDCALL;
    (void)minVertexIndex;
    (void)numVertices;

    FfDrawCall call;
    call.type = type;
    call.vertexBuffer = stream_->storage().name();
    call.vertexOffset = streamOffset_;
    call.stride = static_cast<GLsizei>(stride);
    call.count = static_cast<GLsizei>(count);
    call.indexed = true;
    call.indexBuffer = indices_->storage().name();
    call.indexOffset = static_cast<GLintptr>(startIndex) * indexSize;
    call.indexType = indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
    call.baseVertex = baseVertexIndex;
    shared_->makeCurrent();
    pipeline_->draw(state_, stageTextures(textures_), call, submitDraws_);
    return D3D_OK;
}

HRESULT GlDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData, UINT vertexStride)
{
    if (!drawAllowed(type, primitiveCount) || !vertexData || vertexStride < d3dFvfStride(state_.fvf))
        return D3DERR_INVALIDCALL;
    const UINT vertices = d3dVertexCount(type, primitiveCount);
    shared_->makeCurrent();
    const GlStreamRing::Slice slice =
        pipeline_->streamVertices(vertexData, static_cast<std::size_t>(vertices) * vertexStride);

    FfDrawCall call;
    call.type = type;
    call.vertexBuffer = slice.buffer;
    call.vertexOffset = slice.offset;
    call.stride = static_cast<GLsizei>(vertexStride);
    call.count = static_cast<GLsizei>(vertices);
    pipeline_->draw(state_, stageTextures(textures_), call, submitDraws_);
    // User-pointer draws leave stream 0 unset.
    SetStreamSource(0, nullptr, 0, 0);
    return D3D_OK;
}

HRESULT GlDevice::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                         UINT primitiveCount, const void* indexData, D3DFORMAT indexFormat,
                                         const void* vertexData, UINT vertexStride)
{
    if (!drawAllowed(type, primitiveCount) || !indexData || !vertexData || vertexStride < d3dFvfStride(state_.fvf) ||
        (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32) || numVertices == 0)
        return D3DERR_INVALIDCALL;
    const UINT indexSize = indexFormat == D3DFMT_INDEX32 ? 4 : 2;
    const UINT count = d3dVertexCount(type, primitiveCount);
    // The caller promises the indices lie in [min, min + num); user memory cannot be checked
    // any other way, so an index outside that range refuses the draw.
    const auto range = scanIndexRange(indexData, count, indexSize);
    if (range.first < minVertexIndex || range.second >= minVertexIndex + numVertices) return D3DERR_INVALIDCALL;

    shared_->makeCurrent();
    const std::size_t vertexBytes = static_cast<std::size_t>(minVertexIndex + numVertices) * vertexStride;
    const GlStreamRing::Slice vertices = pipeline_->streamVertices(vertexData, vertexBytes);
    const GlStreamRing::Slice indices = pipeline_->streamIndices(indexData, static_cast<std::size_t>(count) * indexSize);

    FfDrawCall call;
    call.type = type;
    call.vertexBuffer = vertices.buffer;
    call.vertexOffset = vertices.offset;
    call.stride = static_cast<GLsizei>(vertexStride);
    call.count = static_cast<GLsizei>(count);
    call.indexed = true;
    call.indexBuffer = indices.buffer;
    call.indexOffset = indices.offset;
    call.indexType = indexSize == 4 ? GL_UNSIGNED_INT : GL_UNSIGNED_SHORT;
    pipeline_->draw(state_, stageTextures(textures_), call, submitDraws_);
    SetStreamSource(0, nullptr, 0, 0);
    SetIndices(nullptr);
    return D3D_OK;
}

} // namespace d3dgl
