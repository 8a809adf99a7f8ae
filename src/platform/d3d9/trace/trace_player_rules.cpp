// The trace player's checks around particular calls: draws must stay inside their buffers
// (the player keeps buffer sizes, stream 0 and index contents to know), and the lines whose
// fields are not one per argument (Clear and the user-pointer draws) are read here.
#include "platform/d3d9/trace/trace_player_state.h"

#include <cstring>

namespace traceplay {

namespace {

// Vertex streams a Direct3D 9 device has (its caps' MaxStreams); the player refuses others.
constexpr UINT kStreams = 16;

} // namespace

bool Player::beforePresent()
{
    if (options_.beforePresent) options_.beforePresent(device_, result_.presents);
    ++result_.presents;
    return true;
}

bool Player::before(tracecall::SetFVF, DWORD fvf)
{
    fvf_ = fvf;
    return true;
}

bool Player::before(tracecall::SetStreamSource, UINT stream, IDirect3DVertexBuffer9* buffer, UINT offset, UINT stride)
{
    if (stream >= kStreams) return false;
    if (stream == 0) {
        stream0_ = buffer;
        stream0Offset_ = offset;
        stream0Stride_ = stride;
    }
    return true;
}

bool Player::before(tracecall::SetIndices, IDirect3DIndexBuffer9* buffer)
{
    indices_ = buffer;
    return true;
}

bool Player::before(tracecall::GetRenderTargetData, IDirect3DSurface9* source, IDirect3DSurface9* destination)
{
    return source && destination;
}

void Player::after(tracecall::CreateVertexBuffer, HRESULT hr, UINT length, DWORD, DWORD, D3DPOOL,
                   IDirect3DVertexBuffer9** buffer, HANDLE*)
{
    if (Object* object = hr >= 0 ? byPointer(*buffer) : nullptr) object->length = length;
}

void Player::after(tracecall::CreateIndexBuffer, HRESULT hr, UINT length, DWORD, D3DFORMAT format, D3DPOOL,
                   IDirect3DIndexBuffer9** buffer, HANDLE*)
{
    Object* object = hr >= 0 ? byPointer(*buffer) : nullptr;
    if (!object) return;
    object->length = length;
    object->indexSize = format == D3DFMT_INDEX32 ? 4 : 2;
    object->indexShadow.assign(length, 0);
}

// Vertices [firstVertex, firstVertex + vertexCount) of stream 0 lie inside its buffer.
bool Player::drawChecksVertices(unsigned long long firstVertex, unsigned long long vertexCount)
{
    const Object* buffer = byPointer(stream0_);
    if (!buffer || vertexCount == 0 || stream0Stride_ == 0) return false;
    const unsigned long long vertexSize = d3dFvfStride(fvf_) ? d3dFvfStride(fvf_) : stream0Stride_;
    const unsigned long long last = firstVertex + vertexCount - 1;
    if (last > (1ull << 32)) return false;
    return stream0Offset_ + last * stream0Stride_ + vertexSize <= buffer->length;
}

bool Player::indicesInRange(const std::uint8_t* indices, unsigned long long count, unsigned indexSize, UINT minIndex,
                            UINT numVertices)
{
    UINT lowest = 0, highest = 0;
    d3dIndexRange(indices, count, indexSize, &lowest, &highest);
    return count == 0 || (lowest >= minIndex && highest - minIndex < numVertices);
}

bool Player::before(tracecall::DrawPrimitive, D3DPRIMITIVETYPE type, UINT startVertex, UINT primitives)
{
    return drawChecksVertices(startVertex, d3dVertexCount(type, primitives));
}

bool Player::before(tracecall::DrawIndexedPrimitive, D3DPRIMITIVETYPE type, int base, UINT minIndex,
                    UINT numVertices, UINT startIndex, UINT primitives)
{
    const Object* indexBuffer = byPointer(indices_);
    const unsigned long long indexCount = d3dVertexCount(type, primitives);
    if (!indexBuffer || indexCount == 0 || numVertices == 0) return false;
    if ((startIndex + indexCount) * indexBuffer->indexSize > indexBuffer->length) return false;
    const long long firstDeclared = static_cast<long long>(base) + minIndex;
    if (firstDeclared < 0 || !drawChecksVertices(static_cast<unsigned long long>(firstDeclared), numVertices))
        return false;
    return indicesInRange(indexBuffer->indexShadow.data() + std::size_t{startIndex} * indexBuffer->indexSize,
                          indexCount, indexBuffer->indexSize, minIndex, numVertices);
}

bool Player::playWhole(tracefield::ClearLine)
{
    std::uint32_t rectCount, hasRects, flags, colour, stencil;
    float z;
    if (!in_.readUnsigned(rectCount) || !in_.readUnsigned(hasRects) || !in_.readUnsigned(flags) ||
        !in_.readUnsigned(colour) || !in_.readFloat(z) || !in_.readUnsigned(stencil))
        return false;
    std::vector<D3DRECT> rects;
    if (hasRects) {
        for (std::uint32_t k = 0; k < rectCount; ++k) {
            std::int32_t v[4];
            if (!in_.readSigned(v[0]) || !in_.readSigned(v[1]) || !in_.readSigned(v[2]) || !in_.readSigned(v[3]))
                return false;
            rects.push_back(D3DRECT{v[0], v[1], v[2], v[3]});
        }
        if (rects.empty()) rects.push_back(D3DRECT{0, 0, 0, 0}); // a non-null list with count 0
    }
    if (!in_.expectEnd()) return false;
    count(device_->Clear(rectCount, hasRects ? rects.data() : nullptr, flags, colour, z, stencil));
    return true;
}

bool Player::playWhole(tracefield::DrawUpLine)
{
    std::uint32_t type, primitives, stride;
    std::vector<std::uint8_t> data;
    bool present = false;
    if (!in_.readUnsigned(type) || !in_.readUnsigned(primitives) || !in_.readUnsigned(stride) ||
        !in_.readHex(data, present) || !in_.expectEnd())
        return false;
    stream0_ = nullptr; // a user-pointer draw unbinds stream 0
    const unsigned long long vertices = d3dVertexCount(type, primitives);
    if (!present || stride == 0 || vertices == 0) return skip();
    if (data.size() != vertices * stride)
        return in_.fail("DrawPrimitiveUP: " + std::to_string(data.size()) + " bytes of vertices for " +
                        std::to_string(vertices) + " vertices of " + std::to_string(stride) + " bytes");
    if (d3dFvfStride(fvf_) > stride) return skip();
    count(device_->DrawPrimitiveUP(static_cast<D3DPRIMITIVETYPE>(type), primitives, data.data(), stride));
    return true;
}

bool Player::playWhole(tracefield::DrawIndexedUpLine)
{
    std::uint32_t type, minIndex, numVertices, primitives, format, stride;
    std::vector<std::uint8_t> indices, vertices;
    bool haveIndices = false, haveVertices = false;
    if (!in_.readUnsigned(type) || !in_.readUnsigned(minIndex) || !in_.readUnsigned(numVertices) ||
        !in_.readUnsigned(primitives) || !in_.readUnsigned(format) || !in_.readUnsigned(stride) ||
        !in_.readHex(indices, haveIndices) || !in_.readHex(vertices, haveVertices) || !in_.expectEnd())
        return false;
    stream0_ = nullptr;
    indices_ = nullptr;
    const unsigned indexSize = d3dIndexSize(static_cast<D3DFORMAT>(format));
    const unsigned long long indexCount = d3dVertexCount(type, primitives);
    if (!haveIndices || !haveVertices || stride == 0 || indexCount == 0 || indexSize == 0) return skip();
    if (indices.size() != indexCount * indexSize ||
        vertices.size() != (static_cast<unsigned long long>(minIndex) + numVertices) * stride)
        return in_.fail("DrawIndexedPrimitiveUP: data sizes do not match the counts");
    if (d3dFvfStride(fvf_) > stride || !indicesInRange(indices.data(), indexCount, indexSize, minIndex, numVertices))
        return skip();
    count(device_->DrawIndexedPrimitiveUP(static_cast<D3DPRIMITIVETYPE>(type), minIndex, numVertices, primitives,
                                          indices.data(), static_cast<D3DFORMAT>(format), vertices.data(), stride));
    return true;
}

} // namespace traceplay
