// The Direct3D 9 device as callers see it, common to every backend: the state vector, the
// bindings, every validation rule and result code. A backend (device_backend.h) only draws,
// clears, presents, makes resources and reads back, so two devices on different backends
// behave identically through IDirect3DDevice9, except for pixels.
#pragma once

#include "platform/d3d9/core/device_backend.h"
#include "platform/d3d9/core/device_state.h"

#include <array>

namespace d3dcore {

class DeviceCore : public IDirect3DDevice9 {
public:
    struct StreamBinding {
        IDirect3DVertexBuffer9* buffer = nullptr;
        UINT offset = 0;
        UINT stride = 0;
        UINT length = 0; // the buffer's size, read once at binding time
    };

    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;

    HRESULT GetDeviceCaps(D3DCAPS9* caps) override;
    HRESULT BeginScene() override;
    HRESULT EndScene() override;
    HRESULT Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil) override;
    HRESULT Present(const RECT* sourceRect, const RECT* destRect, HWND destWindowOverride,
                    const void* dirtyRegion) override;
    HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) override;
    HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) override;
    HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) override;
    HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) override;
    HRESULT SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value) override;
    HRESULT GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value) override;
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) override;
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) override;
    HRESULT SetViewport(const D3DVIEWPORT9* viewport) override;
    HRESULT GetViewport(D3DVIEWPORT9* viewport) override;
    HRESULT SetScissorRect(const RECT* rect) override;
    HRESULT GetScissorRect(RECT* rect) override;
    HRESULT SetMaterial(const D3DMATERIAL9* material) override;
    HRESULT GetMaterial(D3DMATERIAL9* material) override;
    HRESULT SetLight(DWORD index, const D3DLIGHT9* light) override;
    HRESULT GetLight(DWORD index, D3DLIGHT9* light) override;
    HRESULT LightEnable(DWORD index, BOOL enable) override;
    HRESULT GetLightEnable(DWORD index, BOOL* enable) override;
    HRESULT SetTexture(DWORD stage, IDirect3DBaseTexture9* texture) override;
    HRESULT GetTexture(DWORD stage, IDirect3DBaseTexture9** texture) override;
    HRESULT CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture, HANDLE* sharedHandle) override;
    HRESULT CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                        IDirect3DSurface9** surface, HANDLE* sharedHandle) override;
    HRESULT CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                      DWORD multiSampleQuality, BOOL discard, IDirect3DSurface9** surface,
                                      HANDLE* sharedHandle) override;
    HRESULT CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool, IDirect3DVertexBuffer9** buffer,
                               HANDLE* sharedHandle) override;
    HRESULT CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle) override;
    HRESULT GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type, IDirect3DSurface9** surface) override;
    HRESULT SetRenderTarget(DWORD index, IDirect3DSurface9* surface) override;
    HRESULT GetRenderTarget(DWORD index, IDirect3DSurface9** surface) override;
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* surface) override;
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** surface) override;
    HRESULT GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destSurface) override;
    HRESULT SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offsetInBytes, UINT stride) override;
    HRESULT SetIndices(IDirect3DIndexBuffer9* indexBuffer) override;
    HRESULT SetFVF(DWORD fvf) override;
    HRESULT GetFVF(DWORD* fvf) override;
    HRESULT SetVertexShader(IDirect3DVertexShader9* shader) override;
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount) override;
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int baseVertexIndex, UINT minVertexIndex, UINT numVertices,
                                 UINT startIndex, UINT primitiveCount) override;
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                            UINT vertexStride) override;
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                   UINT primitiveCount, const void* indexData, D3DFORMAT indexFormat,
                                   const void* vertexData, UINT vertexStride) override;

    // The state vector as the device holds it, and the capabilities its rules read.
    const DeviceState& state() const { return state_; }
    const D3DCAPS9& caps() const { return caps_; }
    D3DCAPS9& caps() { return caps_; }
    bool inScene() const { return inScene_; }
    IDirect3DBaseTexture9* boundTexture(DWORD sampler) const { return sampler < kSamplerCount ? textures_[sampler] : nullptr; }
    StreamBinding boundStream(UINT stream) const { return stream < kStreamCount ? streams_[stream] : StreamBinding{}; }
    IDirect3DIndexBuffer9* boundIndices() const { return indices_; }
    IDirect3DSurface9* boundRenderTarget() const { return renderTarget_; }
    IDirect3DSurface9* boundDepthStencil() const { return depthStencil_; }
    IDirect3DSurface9* backBufferSurface() const { return backBuffer_; }

protected:
    DeviceCore(DeviceBackend& backend, const D3DCAPS9& caps) : backend_(backend), caps_(caps) {}
    ~DeviceCore() override;
    // Takes the references passed: the back buffer (also the first render target) and the
    // automatic depth surface (null for none); installs the creation defaults.
    void start(IDirect3DSurface9* backBuffer, IDirect3DSurface9* autoDepth);
    // Drops every binding; backends call it first in their destructor, while they still work.
    void releaseBindings();

    DeviceState state_;
    std::array<IDirect3DBaseTexture9*, kSamplerCount> textures_{};
    std::array<StreamBinding, kStreamCount> streams_{};
    IDirect3DIndexBuffer9* indices_ = nullptr;

private:
    UINT indexLength_ = 0, indexSize_ = 0; // of the bound index buffer
    bool drawAllowed(D3DPRIMITIVETYPE type, UINT primitiveCount, UINT stride) const;
    void resetViewportToTarget();
    template <typename T>
    static void rebind(T*& slot, T* object);

    DeviceBackend& backend_;
    D3DCAPS9 caps_;
    ULONG references_ = 1;
    IDirect3DSurface9* backBuffer_ = nullptr;
    IDirect3DSurface9* renderTarget_ = nullptr;
    IDirect3DSurface9* depthStencil_ = nullptr;
    bool inScene_ = false;
};

} // namespace d3dcore
