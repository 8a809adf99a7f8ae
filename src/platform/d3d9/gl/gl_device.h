// The Direct3D 9 device on OpenGL 4.5 core. It keeps the Direct3D state vector as the caller
// set it (device_state.h), draws everything into framebuffer objects laid out like Direct3D
// surfaces (row 0 = top), and hands the GL translation of state and draws to FfPipeline.
// Present shows the back buffer in the window (flipped once, letterboxed), or only finishes
// the frame when headless.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/gl/device_state.h"
#include "platform/d3d9/gl/gl_device_shared.h"

#include <array>
#include <memory>

namespace d3dgl {

class FfPipeline;
class GlTexture;
class GlSurface;
class GlDepthSurface;
class GlVertexBuffer;
class GlIndexBuffer;

class GlDevice final : public IDirect3DDevice9 {
public:
    // Builds the device on a current context; null (with *result set) when the parameters
    // cannot be honoured.
    static GlDevice* create(IDirect3D9* direct3d, std::shared_ptr<GlContext> context,
                            const D3DPRESENT_PARAMETERS& parameters, const D3DCAPS9& caps, HRESULT* result);
    ~GlDevice() override;

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

    // For tests and benchmarks: the state vector as the device holds it, the pipeline, and
    // whether draws reach OpenGL (off: everything up to the GL draw call still runs).
    const DeviceState& state() const { return state_; }
    FfPipeline& pipeline() { return *pipeline_; }
    void setSubmitDraws(bool submit) { submitDraws_ = submit; }

private:
    GlDevice(IDirect3D9* direct3d, std::shared_ptr<GlContext> context, const D3DPRESENT_PARAMETERS& parameters,
             const D3DCAPS9& caps);
    bool createSurfaces(HRESULT* result);
    void bindTargetFramebuffer();
    void resetViewportToTarget();
    bool depthUsable() const;
    // Draw preparation shared by every draw call: false when nothing may be drawn.
    bool drawAllowed(D3DPRIMITIVETYPE type, UINT primitiveCount) const;

    ULONG references_ = 1;
    IDirect3D9* direct3d_;
    GlShared shared_;
    D3DPRESENT_PARAMETERS parameters_;
    D3DCAPS9 caps_;
    DeviceState state_;
    std::unique_ptr<FfPipeline> pipeline_;

    std::array<IDirect3DBaseTexture9*, D3D_MAX_STAGES> textures_{};
    GlVertexBuffer* stream_ = nullptr;
    UINT streamOffset_ = 0, streamStride_ = 0;
    GlIndexBuffer* indices_ = nullptr;

    GlTexture* backBuffer_ = nullptr;
    GlSurface* renderTarget_ = nullptr;
    GlDepthSurface* depthStencil_ = nullptr;
    bool inScene_ = false;
    bool submitDraws_ = true;
};

} // namespace d3dgl
