// The one table of traced calls (the trace format is docs/trace-format.md). The recording
// device's log, the tracing device's forwarding and the trace player's dispatch are all
// generated from it, so a device call enters the trace with one line here.
//
// TRACE_DEVICE_CALLS: X(name, parameters, arguments, fields, replay) for IDirect3DDevice9
//   fields  one field kind (trace_fields.h) per argument, or Whole<...> for a line laid out
//           otherwise; calls with a New or Got field are written after the call
//   replay  Replay: the player makes the call; Query: the player reads nothing from it
// TRACE_OBJECT_CALLS: X(name, fields, handler) for calls on textures, surfaces and buffers;
//   the first field names the object; handler is the player's (Query: ignored)
#pragma once

#include "platform/d3d9/d3d9_helpers.h"
#include "platform/d3d9/trace/trace_fields.h"

#include <string_view>

namespace tracefield {

// Clear count hasRects flags colour z stencil [x1 y1 x2 y2]...
struct ClearLine {
    template <class W>
    static void write(TraceLine& line, W&, HRESULT, DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colour,
                      float z, DWORD stencil)
    {
        line.u(count).u(rects ? 1 : 0).u(flags).x(colour).f(z).u(stencil);
        if (rects)
            for (DWORD k = 0; k < count; ++k) line.i(rects[k].x1).i(rects[k].y1).i(rects[k].x2).i(rects[k].y2);
    }
};

// DrawPrimitiveUP type primitiveCount stride hexVertices
struct DrawUpLine {
    template <class W>
    static void write(TraceLine& line, W&, HRESULT, D3DPRIMITIVETYPE type, UINT primitives, const void* vertices,
                      UINT stride)
    {
        line.u(type).u(primitives).u(stride).hex(vertices, static_cast<std::size_t>(d3dVertexCount(type, primitives)) * stride);
    }
};

// DrawIndexedPrimitiveUP type minIndex numVertices primitiveCount indexFormat stride hexIndices
// hexVertices; the vertices are those from 0 to minIndex + numVertices.
struct DrawIndexedUpLine {
    template <class W>
    static void write(TraceLine& line, W&, HRESULT, D3DPRIMITIVETYPE type, UINT minIndex, UINT numVertices,
                      UINT primitives, const void* indices, D3DFORMAT indexFormat, const void* vertices, UINT stride)
    {
        const std::size_t indexBytes =
            static_cast<std::size_t>(d3dVertexCount(type, primitives)) * (indexFormat == D3DFMT_INDEX32 ? 4 : 2);
        const std::size_t vertexBytes = (static_cast<std::size_t>(minIndex) + numVertices) * stride;
        line.u(type).u(minIndex).u(numVertices).u(primitives).u(indexFormat).u(stride);
        line.hex(indices, indexBytes).hex(vertices, vertexBytes);
    }
};

using Texture = IDirect3DTexture9;
using Surface = IDirect3DSurface9;
using VertexBuffer = IDirect3DVertexBuffer9;
using IndexBuffer = IDirect3DIndexBuffer9;

} // namespace tracefield

// clang-format off
#define TRACE_DEVICE_CALLS(X) \
    X(GetDeviceCaps, (D3DCAPS9* caps), (caps), (Ignore), Query) \
    X(BeginScene, (), (), (), Replay) \
    X(EndScene, (), (), (), Replay) \
    X(Clear, (DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil), \
      (count, rects, flags, color, z, stencil), (Whole<ClearLine>), Replay) \
    X(Present, (const RECT* sourceRect, const RECT* destRect, HWND window, const void* dirtyRegion), \
      (sourceRect, destRect, window, dirtyRegion), (Ignore, Ignore, Ignore, Ignore), Replay) \
    X(SetRenderState, (D3DRENDERSTATETYPE state, DWORD value), (state, value), (U, U), Replay) \
    X(GetRenderState, (D3DRENDERSTATETYPE state, DWORD* value), (state, value), (U, Ignore), Query) \
    X(SetTextureStageState, (DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value), (stage, type, value), \
      (U, U, U), Replay) \
    X(GetTextureStageState, (DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value), (stage, type, value), \
      (U, U, Ignore), Query) \
    X(SetSamplerState, (DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value), (sampler, type, value), \
      (U, U, U), Replay) \
    X(GetSamplerState, (DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value), (sampler, type, value), \
      (U, U, Ignore), Query) \
    X(SetTransform, (D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix), (state, matrix), (U, Matrix), Replay) \
    X(GetTransform, (D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix), (state, matrix), (U, Ignore), Query) \
    X(SetViewport, (const D3DVIEWPORT9* viewport), (viewport), (Viewport), Replay) \
    X(GetViewport, (D3DVIEWPORT9* viewport), (viewport), (Ignore), Query) \
    X(SetScissorRect, (const RECT* rect), (rect), (Rect), Replay) \
    X(GetScissorRect, (RECT* rect), (rect), (Ignore), Query) \
    X(SetMaterial, (const D3DMATERIAL9* material), (material), (Material), Replay) \
    X(GetMaterial, (D3DMATERIAL9* material), (material), (Ignore), Query) \
    X(SetLight, (DWORD index, const D3DLIGHT9* light), (index, light), (U, Light), Replay) \
    X(GetLight, (DWORD index, D3DLIGHT9* light), (index, light), (U, Ignore), Query) \
    X(LightEnable, (DWORD index, BOOL enable), (index, enable), (U, B), Replay) \
    X(GetLightEnable, (DWORD index, BOOL* enable), (index, enable), (U, Ignore), Query) \
    X(SetTexture, (DWORD stage, IDirect3DBaseTexture9* texture), (stage, texture), \
      (U, Obj<IDirect3DBaseTexture9>), Replay) \
    X(GetTexture, (DWORD stage, IDirect3DBaseTexture9** texture), (stage, texture), \
      (U, Got<IDirect3DBaseTexture9>), Replay) \
    X(CreateTexture, (UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool, \
                      IDirect3DTexture9** texture, HANDLE* sharedHandle), \
      (width, height, levels, usage, format, pool, texture, sharedHandle), \
      (U, U, U, U, U, U, New<Texture>, Ignore), Replay) \
    X(CreateOffscreenPlainSurface, (UINT width, UINT height, D3DFORMAT format, D3DPOOL pool, \
                                    IDirect3DSurface9** surface, HANDLE* sharedHandle), \
      (width, height, format, pool, surface, sharedHandle), (U, U, U, U, New<Surface>, Ignore), Replay) \
    X(CreateDepthStencilSurface, (UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample, \
                                  DWORD quality, BOOL discard, IDirect3DSurface9** surface, HANDLE* sharedHandle), \
      (width, height, format, multiSample, quality, discard, surface, sharedHandle), \
      (U, U, U, U, U, B, New<Surface>, Ignore), Replay) \
    X(CreateVertexBuffer, (UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer, \
                           HANDLE* sharedHandle), \
      (length, usage, fvf, pool, buffer, sharedHandle), (U, U, U, U, New<VertexBuffer>, Ignore), Replay) \
    X(CreateIndexBuffer, (UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool, IDirect3DIndexBuffer9** buffer, \
                          HANDLE* sharedHandle), \
      (length, usage, format, pool, buffer, sharedHandle), (U, U, U, U, New<IndexBuffer>, Ignore), Replay) \
    X(GetBackBuffer, (UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface), \
      (swapChain, index, type, surface), (U, U, U, Got<Surface>), Replay) \
    X(SetRenderTarget, (DWORD index, IDirect3DSurface9* surface), (index, surface), (U, Obj<Surface>), Replay) \
    X(GetRenderTarget, (DWORD index, IDirect3DSurface9** surface), (index, surface), (U, Got<Surface>), Replay) \
    X(SetDepthStencilSurface, (IDirect3DSurface9* surface), (surface), (Obj<Surface>), Replay) \
    X(GetDepthStencilSurface, (IDirect3DSurface9** surface), (surface), (Got<Surface>), Replay) \
    X(GetRenderTargetData, (IDirect3DSurface9* renderTarget, IDirect3DSurface9* destSurface), \
      (renderTarget, destSurface), (Obj<Surface>, Obj<Surface>), Replay) \
    X(SetStreamSource, (UINT stream, IDirect3DVertexBuffer9* buffer, UINT offsetInBytes, UINT stride), \
      (stream, buffer, offsetInBytes, stride), (U, Obj<VertexBuffer>, U, U), Replay) \
    X(SetIndices, (IDirect3DIndexBuffer9* indexBuffer), (indexBuffer), (Obj<IndexBuffer>), Replay) \
    X(SetFVF, (DWORD fvf), (fvf), (U), Replay) \
    X(GetFVF, (DWORD* fvf), (fvf), (Ignore), Query) \
    X(SetVertexShader, (IDirect3DVertexShader9* shader), (shader), (NullShader), Replay) \
    X(DrawPrimitive, (D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount), \
      (type, startVertex, primitiveCount), (U, U, U), Replay) \
    X(DrawIndexedPrimitive, (D3DPRIMITIVETYPE type, int baseVertexIndex, UINT minVertexIndex, UINT numVertices, \
                             UINT startIndex, UINT primitiveCount), \
      (type, baseVertexIndex, minVertexIndex, numVertices, startIndex, primitiveCount), (U, I, U, U, U, U), Replay) \
    X(DrawPrimitiveUP, (D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData, UINT vertexStride), \
      (type, primitiveCount, vertexData, vertexStride), (Whole<DrawUpLine>), Replay) \
    X(DrawIndexedPrimitiveUP, (D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices, UINT primitiveCount, \
                               const void* indexData, D3DFORMAT indexFormat, const void* vertexData, \
                               UINT vertexStride), \
      (type, minVertexIndex, numVertices, primitiveCount, indexData, indexFormat, vertexData, vertexStride), \
      (Whole<DrawIndexedUpLine>), Replay)

#define TRACE_OBJECT_CALLS(X) \
    X(TextureGetSurfaceLevel, (Obj<Texture>, U, Got<Surface>), onGetSurfaceLevel) \
    X(TextureLockRect, (Obj<Texture>, U, Rect, U), onLockRect) \
    X(TextureUnlockRect, (Obj<Texture>, U, Data), onUnlockRect) \
    X(SurfaceLockRect, (Obj<Surface>, Rect, U), onLockRect) \
    X(SurfaceUnlockRect, (Obj<Surface>, Data), onUnlockRect) \
    X(VertexBufferLock, (Obj<VertexBuffer>, U, U, U), onLockBuffer) \
    X(VertexBufferUnlock, (Obj<VertexBuffer>, Data), onUnlockBuffer) \
    X(IndexBufferLock, (Obj<IndexBuffer>, U, U, U), onLockBuffer) \
    X(IndexBufferUnlock, (Obj<IndexBuffer>, Data), onUnlockBuffer) \
    X(Release, (Handle), onRelease) \
    X(SurfaceGetDesc, (Obj<Surface>), Query) \
    X(TextureGetLevelDesc, (Obj<Texture>, U), Query) \
    X(VertexBufferGetDesc, (Obj<VertexBuffer>), Query) \
    X(IndexBufferGetDesc, (Obj<IndexBuffer>), Query)
// clang-format on

namespace tracefield {

// The fields of a call, as the function type void(Field...).
template <class Signature>
struct Fields;

template <class... Field>
struct Fields<void(Field...)> {
    static constexpr bool kWrittenAfter = (Field::kOutput || ... || false);
    template <class W, class... A>
    static void write(TraceLine& line, W& writer, HRESULT hr, const A&... arguments)
    {
        static_assert(sizeof...(Field) == sizeof...(A), "one field per argument");
        (void)hr;
        (void)writer;
        (Field::write(line, writer, hr, arguments), ...);
    }
};

template <class Line>
struct Fields<void(Whole<Line>)> {
    static constexpr bool kWrittenAfter = false;
    template <class W, class... A>
    static void write(TraceLine& line, W& writer, HRESULT hr, const A&... arguments)
    {
        Line::write(line, writer, hr, arguments...);
    }
};

} // namespace tracefield

// One tag type per call: tracecall::SetRenderState::name, ::Fields. Declared inside
// tracefield so that the field kinds' names win over any others of the same name.
namespace tracefield::calls {
#define TRACE_CALL_TAG(call, parameters, arguments, fields, replay) \
    struct call {                                                   \
        static constexpr std::string_view name = #call;             \
        using Signature = void fields;                              \
        using Fields = tracefield::Fields<Signature>;               \
    };
#define TRACE_OBJECT_TAG(call, fields, handler) TRACE_CALL_TAG(call, , , fields, )
TRACE_DEVICE_CALLS(TRACE_CALL_TAG)
TRACE_OBJECT_CALLS(TRACE_OBJECT_TAG)
#undef TRACE_OBJECT_TAG
#undef TRACE_CALL_TAG
} // namespace tracefield::calls

namespace tracecall = tracefield::calls;

// Writes one call's line through a writer that has handleOf(object) and emit(line).
template <class Call, class W, class... A>
void traceWrite(W& writer, HRESULT hr, const A&... arguments)
{
    TraceLine line(Call::name);
    Call::Fields::write(line, writer, hr, arguments...);
    writer.emit(line);
}
