// The narrow interface between the device core and what stands behind it (OpenGL, the
// in-memory recording backend). The core has validated every argument and resolved every
// binding before it calls here, so a backend only makes objects, draws, clears, presents and
// reads back; it never decides whether a call is legal.
#pragma once

#include "platform/d3d9/d3d9.h"

#include <cstddef>

namespace d3dcore {

enum class ObjectKind { Texture, Surface, VertexBuffer, IndexBuffer };

// One validated draw. Buffer draws name stream 0 and (indexed) the index buffer; user-memory
// draws carry their bytes. `count` is the number of vertices or indices the draw consumes.
struct DrawCall {
    D3DPRIMITIVETYPE type = D3DPT_TRIANGLELIST;
    UINT count = 0;
    UINT stride = 0;
    IDirect3DVertexBuffer9* vertexBuffer = nullptr;
    UINT vertexOffset = 0;
    UINT firstVertex = 0;
    IDirect3DIndexBuffer9* indexBuffer = nullptr;
    UINT firstIndex = 0;
    int baseVertex = 0;
    const void* vertexData = nullptr;
    std::size_t vertexBytes = 0;
    const void* indexData = nullptr;
    UINT indexSize = 0; // 2 or 4 when indexed
};

class DeviceBackend {
public:
    // Whether an object is one of this backend's own (objects of other devices are refused).
    virtual bool owns(IUnknown* object, ObjectKind kind) const = 0;
    virtual D3DSURFACE_DESC surfaceDesc(IDirect3DSurface9* surface) const = 0;
    virtual UINT vertexBufferLength(IDirect3DVertexBuffer9* buffer) const = 0;
    virtual UINT indexBufferLength(IDirect3DIndexBuffer9* buffer) const = 0;
    virtual UINT indexSize(IDirect3DIndexBuffer9* buffer) const = 0;
    // Lowest and highest of `count` indices from `first` (the range was checked to exist).
    virtual void indexRange(IDirect3DIndexBuffer9* buffer, UINT first, UINT count, UINT* lowest, UINT* highest) = 0;

    // Creation with checked parameters; a failure here is a resource failure of the backend.
    virtual HRESULT createTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DTexture9** texture) = 0;
    virtual HRESULT createPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                       IDirect3DSurface9** surface) = 0;
    virtual HRESULT createDepthSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface9** surface) = 0;
    virtual HRESULT createVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer9** buffer) = 0;
    virtual HRESULT createIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer9** buffer) = 0;

    // The render target or the depth surface changed.
    virtual void targetsChanged() = 0;
    // One rectangle of a Clear, already cut to the viewport and scissor and never empty.
    virtual void clear(DWORD flags, D3DCOLOR color, float z, DWORD stencil, const RECT& area) = 0;
    virtual void draw(const DrawCall& call) = 0;
    virtual void present() = 0;
    // Same size and format, source a render target, destination in system memory.
    virtual void readBack(IDirect3DSurface9* source, IDirect3DSurface9* destination) = 0;

protected:
    ~DeviceBackend() = default;
};

} // namespace d3dcore
