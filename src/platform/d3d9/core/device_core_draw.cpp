// Scenes, Clear, Present and the draw calls of the device core: every draw is checked so that
// no backend ever reads outside a buffer, then handed over resolved.
#include "platform/d3d9/core/device_core.h"

#include "platform/d3d9/core/device_rules.h"
#include "platform/d3d9/d3d9_helpers.h"

#include <algorithm>
#include <cstdint>

namespace d3dcore {

HRESULT DeviceCore::BeginScene()
{
    if (inScene_) return D3DERR_INVALIDCALL;
    inScene_ = true;
    return D3D_OK;
}

HRESULT DeviceCore::EndScene()
{
    if (!inScene_) return D3DERR_INVALIDCALL;
    inScene_ = false;
    return D3D_OK;
}

HRESULT DeviceCore::Present(const RECT*, const RECT*, HWND, const void*)
{
    backend_.present();
    return D3D_OK;
}

HRESULT DeviceCore::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil)
{
    if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && !depthStencil_) return D3DERR_INVALIDCALL;
    if ((flags & D3DCLEAR_STENCIL) && !depthFormatHasStencil(backend_.surfaceDesc(depthStencil_).Format))
        return D3DERR_INVALIDCALL;
    // Rectangles with a count of 0 clear nothing; no rectangles clear the whole viewport.
    if (count == 0 && rects) return D3D_OK;

    // The area: the viewport, cut by the scissor rectangle while the scissor test is on.
    RECT area{static_cast<LONG>(state_.viewport.X), static_cast<LONG>(state_.viewport.Y),
              static_cast<LONG>(state_.viewport.X + state_.viewport.Width),
              static_cast<LONG>(state_.viewport.Y + state_.viewport.Height)};
    if (state_.rs(D3DRS_SCISSORTESTENABLE)) {
        area.left = std::max(area.left, state_.scissor.left);
        area.top = std::max(area.top, state_.scissor.top);
        area.right = std::min(area.right, state_.scissor.right);
        area.bottom = std::min(area.bottom, state_.scissor.bottom);
    }
    auto clearPart = [&](LONG x1, LONG y1, LONG x2, LONG y2) {
        const RECT part{std::max(x1, area.left), std::max(y1, area.top), std::min(x2, area.right),
                        std::min(y2, area.bottom)};
        if (part.left < part.right && part.top < part.bottom) backend_.clear(flags, color, z, stencil, part);
    };
    if (!rects) {
        clearPart(area.left, area.top, area.right, area.bottom);
    } else {
        for (DWORD k = 0; k < count; ++k) clearPart(rects[k].x1, rects[k].y1, rects[k].x2, rects[k].y2);
    }
    return D3D_OK;
}

bool DeviceCore::drawAllowed(D3DPRIMITIVETYPE type, UINT primitiveCount, UINT stride) const
{
    const UINT vertexSize = d3dFvfStride(state_.fvf);
    return inScene_ && d3dPrimitiveTypeKnown(type) && primitiveCount > 0 && primitiveCount <= caps_.MaxPrimitiveCount &&
           vertexSize > 0 && stride >= vertexSize;
}

HRESULT DeviceCore::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    const StreamBinding& stream = streams_[0];
    if (!stream.buffer || !drawAllowed(type, primitiveCount, stream.stride)) return D3DERR_INVALIDCALL;
    const std::uint64_t vertices = d3dVertexCount(type, primitiveCount);
    const std::uint64_t end = stream.offset + (startVertex + vertices) * stream.stride;
    if (end > stream.length) return D3DERR_INVALIDCALL;

    DrawCall call;
    call.type = type;
    call.count = static_cast<UINT>(vertices);
    call.stride = stream.stride;
    call.vertexBuffer = stream.buffer;
    call.vertexOffset = stream.offset;
    call.firstVertex = startVertex;
    backend_.draw(call);
    return D3D_OK;
}

HRESULT DeviceCore::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int baseVertexIndex, UINT, UINT, UINT startIndex,
                                         UINT primitiveCount)
{
    const StreamBinding& stream = streams_[0];
    if (!stream.buffer || !indices_ || !drawAllowed(type, primitiveCount, stream.stride)) return D3DERR_INVALIDCALL;
    const UINT indexSize = indexSize_;
    const std::uint64_t count = d3dVertexCount(type, primitiveCount);
    if ((startIndex + count) * indexSize > indexLength_) return D3DERR_INVALIDCALL;
    // Every vertex the indices reach must exist in the stream (the caller's minimum and
    // count are hints Direct3D does not check either).
    UINT lowest = 0, highest = 0;
    backend_.indexRange(indices_, startIndex, static_cast<UINT>(count), &lowest, &highest);
    const std::int64_t first = std::int64_t{baseVertexIndex} + lowest;
    const std::int64_t last = std::int64_t{baseVertexIndex} + highest;
    if (first < 0 || stream.offset + static_cast<std::uint64_t>(last + 1) * stream.stride > stream.length)
        return D3DERR_INVALIDCALL;

    DrawCall call;
    call.type = type;
    call.count = static_cast<UINT>(count);
    call.stride = stream.stride;
    call.vertexBuffer = stream.buffer;
    call.vertexOffset = stream.offset;
    call.indexBuffer = indices_;
    call.firstIndex = startIndex;
    call.baseVertex = baseVertexIndex;
    call.indexSize = indexSize;
    backend_.draw(call);
    return D3D_OK;
}

HRESULT DeviceCore::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                                    UINT vertexStride)
{
    if (!vertexData || !drawAllowed(type, primitiveCount, vertexStride)) return D3DERR_INVALIDCALL;
    DrawCall call;
    call.type = type;
    call.count = d3dVertexCount(type, primitiveCount);
    call.stride = vertexStride;
    call.vertexData = vertexData;
    call.vertexBytes = std::size_t{call.count} * vertexStride;
    backend_.draw(call);
    // User-memory draws leave stream 0 unset.
    safeRelease(streams_[0].buffer);
    streams_[0] = {};
    return D3D_OK;
}

HRESULT DeviceCore::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                           UINT primitiveCount, const void* indexData, D3DFORMAT indexFormat,
                                           const void* vertexData, UINT vertexStride)
{
    if (!indexData || !vertexData || numVertices == 0 || !drawAllowed(type, primitiveCount, vertexStride) ||
        (indexFormat != D3DFMT_INDEX16 && indexFormat != D3DFMT_INDEX32) ||
        std::uint64_t{minVertexIndex} + numVertices > caps_.MaxVertexIndex + std::uint64_t{1})
        return D3DERR_INVALIDCALL;
    const UINT indexSize = indexFormat == D3DFMT_INDEX32 ? 4 : 2;
    const UINT count = d3dVertexCount(type, primitiveCount);
    // The caller promises the indices lie in [min, min + num); user memory cannot be checked
    // any other way, so an index outside that range refuses the draw.
    UINT lowest = 0, highest = 0;
    d3dIndexRange(indexData, count, indexSize, &lowest, &highest);
    if (lowest < minVertexIndex || highest >= minVertexIndex + numVertices) return D3DERR_INVALIDCALL;

    DrawCall call;
    call.type = type;
    call.count = count;
    call.stride = vertexStride;
    call.vertexData = vertexData;
    call.vertexBytes = (std::size_t{minVertexIndex} + numVertices) * vertexStride;
    call.indexData = indexData;
    call.indexSize = indexSize;
    backend_.draw(call);
    safeRelease(streams_[0].buffer);
    streams_[0] = {};
    safeRelease(indices_);
    indexLength_ = indexSize_ = 0;
    return D3D_OK;
}

} // namespace d3dcore
