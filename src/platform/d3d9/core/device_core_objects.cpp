// Lifetime, bindings, resource creation and render targets of the device core.
#include "platform/d3d9/core/device_core.h"

#include "platform/d3d9/core/device_rules.h"

namespace d3dcore {

DeviceCore::~DeviceCore() { releaseBindings(); }

ULONG DeviceCore::Release()
{
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

void DeviceCore::start(IDirect3DSurface9* backBuffer, IDirect3DSurface9* autoDepth)
{
    backBuffer_ = backBuffer;
    renderTarget_ = backBuffer;
    renderTarget_->AddRef();
    depthStencil_ = autoDepth;
    const D3DSURFACE_DESC desc = backend_.surfaceDesc(backBuffer);
    state_.reset(desc.Width, desc.Height, autoDepth != nullptr);
}

void DeviceCore::releaseBindings()
{
    for (auto& texture : textures_) safeRelease(texture);
    for (auto& stream : streams_) safeRelease(stream.buffer);
    safeRelease(indices_);
    indexLength_ = indexSize_ = 0;
    safeRelease(renderTarget_);
    safeRelease(depthStencil_);
    safeRelease(backBuffer_);
}

template <typename T>
void DeviceCore::rebind(T*& slot, T* object)
{
    if (object) object->AddRef();
    T* old = slot;
    slot = object;
    if (old) old->Release();
}

void DeviceCore::resetViewportToTarget()
{
    const D3DSURFACE_DESC desc = backend_.surfaceDesc(renderTarget_);
    state_.viewport = {0, 0, desc.Width, desc.Height, 0.0f, 1.0f};
    state_.scissor = {0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    state_.dirty |= kDirtyViewport | kDirtyMaterial;
}

HRESULT DeviceCore::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    if (stage >= kSamplerCount) return D3DERR_INVALIDCALL;
    // What is bound was checked when it was set.
    if (textures_[stage] == texture) return D3D_OK;
    if (texture && !backend_.owns(texture, ObjectKind::Texture)) return D3DERR_INVALIDCALL;
    rebind(textures_[stage], texture);
    state_.dirty |= kDirtyTextures;
    return D3D_OK;
}

HRESULT DeviceCore::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture)
{
    if (stage >= kSamplerCount || !texture) return D3DERR_INVALIDCALL;
    *texture = textures_[stage];
    if (*texture) (*texture)->AddRef();
    return D3D_OK;
}

HRESULT DeviceCore::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                  IDirect3DTexture9** texture, HANDLE* sharedHandle)
{
    if (!texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;
    if (sharedHandle || !textureParametersValid(caps_, width, height, levels, usage, format, pool))
        return D3DERR_INVALIDCALL;
    return backend_.createTexture(width, height, levels == 0 ? fullChainLevels(width, height) : levels, usage, format,
                                  pool, texture);
}

HRESULT DeviceCore::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                                IDirect3DSurface9** surface, HANDLE* sharedHandle)
{
    if (!surface) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (sharedHandle || !plainSurfaceParametersValid(caps_, width, height, format, pool)) return D3DERR_INVALIDCALL;
    return backend_.createPlainSurface(width, height, format, pool, surface);
}

HRESULT DeviceCore::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                              D3DMULTISAMPLE_TYPE multiSample, DWORD, BOOL,
                                              IDirect3DSurface9** surface, HANDLE* sharedHandle)
{
    if (!surface) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (sharedHandle || !depthSurfaceParametersValid(caps_, width, height, format, multiSample))
        return D3DERR_INVALIDCALL;
    return backend_.createDepthSurface(width, height, format, surface);
}

HRESULT DeviceCore::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                       IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle)
{
    if (!buffer) return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (sharedHandle || length == 0 || !bufferPoolValid(pool)) return D3DERR_INVALIDCALL;
    return backend_.createVertexBuffer(length, usage, fvf, pool, buffer);
}

HRESULT DeviceCore::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                      IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle)
{
    if (!buffer) return D3DERR_INVALIDCALL;
    *buffer = nullptr;
    if (sharedHandle || length == 0 || !bufferPoolValid(pool) ||
        (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32))
        return D3DERR_INVALIDCALL;
    return backend_.createIndexBuffer(length, usage, format, pool, buffer);
}

HRESULT DeviceCore::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE, IDirect3DSurface9** surface)
{
    if (!surface) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (swapChain != 0 || index != 0) return D3DERR_INVALIDCALL;
    *surface = backBuffer_;
    backBuffer_->AddRef();
    return D3D_OK;
}

HRESULT DeviceCore::SetRenderTarget(DWORD index, IDirect3DSurface9* surface)
{
    if (index != 0 || !surface || !backend_.owns(surface, ObjectKind::Surface) ||
        !(backend_.surfaceDesc(surface).Usage & D3DUSAGE_RENDERTARGET))
        return D3DERR_INVALIDCALL;
    rebind(renderTarget_, surface);
    // Even the same surface set again brings back the full-target viewport and scissor.
    resetViewportToTarget();
    backend_.targetsChanged();
    return D3D_OK;
}

HRESULT DeviceCore::GetRenderTarget(DWORD index, IDirect3DSurface9** surface)
{
    if (!surface) return D3DERR_INVALIDCALL;
    *surface = nullptr;
    if (index != 0) return D3DERR_INVALIDCALL;
    *surface = renderTarget_;
    renderTarget_->AddRef();
    return D3D_OK;
}

HRESULT DeviceCore::SetDepthStencilSurface(IDirect3DSurface9* surface)
{
    if (surface && (!backend_.owns(surface, ObjectKind::Surface) ||
                    !(backend_.surfaceDesc(surface).Usage & D3DUSAGE_DEPTHSTENCIL)))
        return D3DERR_INVALIDCALL;
    rebind(depthStencil_, surface);
    backend_.targetsChanged();
    return D3D_OK;
}

HRESULT DeviceCore::GetDepthStencilSurface(IDirect3DSurface9** surface)
{
    if (!surface) return D3DERR_INVALIDCALL;
    *surface = depthStencil_;
    if (!depthStencil_) return D3DERR_NOTFOUND;
    depthStencil_->AddRef();
    return D3D_OK;
}

HRESULT DeviceCore::GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destSurface)
{
    if (!renderTarget || !destSurface || !backend_.owns(renderTarget, ObjectKind::Surface) ||
        !backend_.owns(destSurface, ObjectKind::Surface))
        return D3DERR_INVALIDCALL;
    const D3DSURFACE_DESC from = backend_.surfaceDesc(renderTarget);
    const D3DSURFACE_DESC to = backend_.surfaceDesc(destSurface);
    if (!(from.Usage & D3DUSAGE_RENDERTARGET) || to.Pool != D3DPOOL_SYSTEMMEM || (to.Usage & D3DUSAGE_DEPTHSTENCIL) ||
        from.Width != to.Width || from.Height != to.Height || from.Format != to.Format)
        return D3DERR_INVALIDCALL;
    backend_.readBack(renderTarget, destSurface);
    return D3D_OK;
}

HRESULT DeviceCore::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offsetInBytes, UINT stride)
{
    if (stream >= caps_.MaxStreams || stream >= kStreamCount || stride > caps_.MaxStreamStride)
        return D3DERR_INVALIDCALL;
    StreamBinding& binding = streams_[stream];
    // Meshes bind their buffers before every draw; the same binding again changes nothing
    // (what is bound was checked when it was set).
    if (binding.buffer == buffer && binding.offset == offsetInBytes && binding.stride == stride) return D3D_OK;
    if (buffer && !backend_.owns(buffer, ObjectKind::VertexBuffer)) return D3DERR_INVALIDCALL;
    rebind(binding.buffer, buffer);
    binding.offset = offsetInBytes;
    binding.stride = stride;
    binding.length = buffer ? backend_.vertexBufferLength(buffer) : 0;
    return D3D_OK;
}

HRESULT DeviceCore::SetIndices(IDirect3DIndexBuffer9* indexBuffer)
{
    if (indices_ == indexBuffer) return D3D_OK;
    if (indexBuffer && !backend_.owns(indexBuffer, ObjectKind::IndexBuffer)) return D3DERR_INVALIDCALL;
    rebind(indices_, indexBuffer);
    indexLength_ = indexBuffer ? backend_.indexBufferLength(indexBuffer) : 0;
    indexSize_ = indexBuffer ? backend_.indexSize(indexBuffer) : 0;
    return D3D_OK;
}

} // namespace d3dcore
