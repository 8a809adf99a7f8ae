// GlDevice lifetime and the backend's identity questions: which objects are its own, their
// descriptions and sizes. State and rules live in the device core.
#include "platform/d3d9/gl/gl_device.h"

#include "platform/d3d9/gl/ff_pipeline.h"
#include "platform/d3d9/gl/gl_buffers.h"
#include "platform/d3d9/gl/gl_diagnostics.h"
#include "platform/d3d9/gl/gl_texture.h"

#include <type_traits>
#include <typeinfo>

namespace d3dgl {

GlDevice::GlDevice(IDirect3D9* direct3d, std::shared_ptr<GlContext> context, const D3DPRESENT_PARAMETERS& parameters,
                   const D3DCAPS9& caps)
    : DeviceCore(*this, caps), direct3d_(direct3d), shared_(std::make_shared<GlDeviceShared>(std::move(context))),
      parameters_(parameters)
{
    direct3d_->AddRef();
    shared_->device = this;
}

GlDevice* GlDevice::create(IDirect3D9* direct3d, std::shared_ptr<GlContext> context,
                           const D3DPRESENT_PARAMETERS& parameters, const D3DCAPS9& caps, HRESULT* result)
{
    auto* device = new GlDevice(direct3d, std::move(context), parameters, caps);
    device->shared_->makeCurrent();
    device->pipeline_ = std::make_unique<FfPipeline>(*device->shared_, caps.MaxPointSize);
    IDirect3DSurface9* autoDepth = nullptr;
    if (!device->createSurfaces(result, &autoDepth)) {
        device->Release();
        return nullptr;
    }
    IDirect3DSurface9* backBuffer = device->backBuffer_->level(0);
    backBuffer->AddRef();
    device->start(backBuffer, autoDepth);
    device->targetsChanged();
    *result = D3D_OK;
    return device;
}

bool GlDevice::createSurfaces(HRESULT* result, IDirect3DSurface9** autoDepth)
{
    backBuffer_ = GlTexture::create(shared_, parameters_.BackBufferWidth, parameters_.BackBufferHeight, 1,
                                    D3DUSAGE_RENDERTARGET, parameters_.BackBufferFormat, D3DPOOL_DEFAULT);
    if (!backBuffer_) {
        *result = D3DERR_OUTOFVIDEOMEMORY;
        return false;
    }
    if (parameters_.EnableAutoDepthStencil) {
        *autoDepth = GlDepthSurface::create(shared_, parameters_.BackBufferWidth, parameters_.BackBufferHeight,
                                            parameters_.AutoDepthStencilFormat);
        if (!*autoDepth) {
            *result = D3DERR_NOTAVAILABLE;
            return false;
        }
    }
    return true;
}

GlDevice::~GlDevice()
{
    shared_->makeCurrent();
    releaseBindings();
    safeRelease(backBuffer_);
    pipeline_.reset();
    pollGlErrors("device release");
    shared_->device = nullptr;
    direct3d_->Release();
}

GlSurface* GlDevice::target() const { return static_cast<GlSurface*>(boundRenderTarget()); }
GlDepthSurface* GlDevice::depth() const { return static_cast<GlDepthSurface*>(boundDepthStencil()); }

static_assert(std::is_final_v<GlTexture> && std::is_final_v<GlVertexBuffer> && std::is_final_v<GlIndexBuffer>,
              "owns() compares exact dynamic types");

bool GlDevice::owns(IUnknown* object, ObjectKind kind) const
{
    if (!object) return false;
    // Textures and buffers are final classes, so comparing the dynamic type is exact and far
    // cheaper than a cast search on every binding; surfaces come in several kinds.
    switch (kind) {
    case ObjectKind::Texture: return typeid(*object) == typeid(GlTexture);
    case ObjectKind::Surface: return dynamic_cast<GlSurface*>(object) != nullptr;
    case ObjectKind::VertexBuffer: return typeid(*object) == typeid(GlVertexBuffer);
    case ObjectKind::IndexBuffer: return typeid(*object) == typeid(GlIndexBuffer);
    }
    return false;
}

D3DSURFACE_DESC GlDevice::surfaceDesc(IDirect3DSurface9* surface) const
{
    return static_cast<GlSurface*>(surface)->desc();
}

UINT GlDevice::vertexBufferLength(IDirect3DVertexBuffer9* buffer) const
{
    return static_cast<GlVertexBuffer*>(buffer)->storage().length();
}

UINT GlDevice::indexBufferLength(IDirect3DIndexBuffer9* buffer) const
{
    return static_cast<GlIndexBuffer*>(buffer)->storage().length();
}

UINT GlDevice::indexSize(IDirect3DIndexBuffer9* buffer) const
{
    return static_cast<GlIndexBuffer*>(buffer)->indexSize();
}

void GlDevice::indexRange(IDirect3DIndexBuffer9* buffer, UINT first, UINT count, UINT* lowest, UINT* highest)
{
    static_cast<GlIndexBuffer*>(buffer)->indexRange(first, count, lowest, highest);
}

} // namespace d3dgl
