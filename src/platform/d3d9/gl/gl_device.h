// The Direct3D 9 device on OpenGL 4.5 core: the device core (state, rules, bindings) in front
// of an OpenGL backend that draws everything into framebuffer objects laid out like Direct3D
// surfaces (row 0 = top) and hands the GL translation of state and draws to FfPipeline.
// Present shows the back buffer in the window (flipped once, letterboxed), or only finishes
// the frame when headless.
#pragma once

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/core/device_core.h"
#include "platform/d3d9/gl/gl_device_shared.h"

#include <array>
#include <memory>

namespace d3dgl {

// The device core's types read as this backend's own.
using namespace d3dcore;

class FfPipeline;
class GlTexture;
class GlSurface;
class GlDepthSurface;
class GlVertexBuffer;
class GlIndexBuffer;

class GlDevice final : private d3dcore::DeviceBackend, public d3dcore::DeviceCore {
public:
    // Builds the device on a current context; null (with *result set) when the parameters
    // cannot be honoured.
    static GlDevice* create(IDirect3D9* direct3d, std::shared_ptr<GlContext> context,
                            const D3DPRESENT_PARAMETERS& parameters, const D3DCAPS9& caps, HRESULT* result);
    ~GlDevice() override;

    // For tests and benchmarks: the pipeline, and whether draws reach OpenGL (off: everything
    // up to the GL draw call still runs).
    FfPipeline& pipeline() { return *pipeline_; }
    void setSubmitDraws(bool submit) { submitDraws_ = submit; }

private:
    GlDevice(IDirect3D9* direct3d, std::shared_ptr<GlContext> context, const D3DPRESENT_PARAMETERS& parameters,
             const D3DCAPS9& caps);
    bool createSurfaces(HRESULT* result, IDirect3DSurface9** autoDepth);
    bool depthUsable() const;
    GlSurface* target() const;
    GlDepthSurface* depth() const;

    // ---- the backend
    bool owns(IUnknown* object, d3dcore::ObjectKind kind) const override;
    D3DSURFACE_DESC surfaceDesc(IDirect3DSurface9* surface) const override;
    UINT vertexBufferLength(IDirect3DVertexBuffer9* buffer) const override;
    UINT indexBufferLength(IDirect3DIndexBuffer9* buffer) const override;
    UINT indexSize(IDirect3DIndexBuffer9* buffer) const override;
    void indexRange(IDirect3DIndexBuffer9* buffer, UINT first, UINT count, UINT* lowest, UINT* highest) override;
    HRESULT createTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                          IDirect3DTexture9** texture) override;
    HRESULT createPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                               IDirect3DSurface9** surface) override;
    HRESULT createDepthSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface9** surface) override;
    HRESULT createVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                               IDirect3DVertexBuffer9** buffer) override;
    HRESULT createIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                              IDirect3DIndexBuffer9** buffer) override;
    void targetsChanged() override;
    void clear(DWORD flags, D3DCOLOR color, float z, DWORD stencil, const RECT& area) override;
    void draw(const d3dcore::DrawCall& call) override;
    void present() override;
    void readBack(IDirect3DSurface9* source, IDirect3DSurface9* destination) override;

    IDirect3D9* direct3d_;
    GlShared shared_;
    D3DPRESENT_PARAMETERS parameters_;
    std::unique_ptr<FfPipeline> pipeline_;
    GlTexture* backBuffer_ = nullptr;
    bool submitDraws_ = true;
};

} // namespace d3dgl
