// Resource creation of the GL device: textures, off-screen and depth surfaces, buffers.
#include "platform/d3d9/gl/gl_device.h"

#include "platform/d3d9/gl/gl_buffers.h"
#include "platform/d3d9/gl/gl_formats.h"
#include "platform/d3d9/gl/gl_texture.h"

namespace d3dgl {

HRESULT GlDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                IDirect3DTexture9** texture, HANDLE* sharedHandle)
{
    if (!texture || sharedHandle) return D3DERR_INVALIDCALL;
    *texture = GlTexture::create(shared_, width, height, levels, usage, format, pool);
    return *texture ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GlDevice::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                              IDirect3DSurface9** surface, HANDLE* sharedHandle)
{
    if (!surface || sharedHandle) return D3DERR_INVALIDCALL;
    if (pool == D3DPOOL_MANAGED || !glColorFormat(format).valid()) {
        *surface = nullptr;
        return D3DERR_INVALIDCALL;
    }
    *surface = GlMemorySurface::create(shared_, width, height, format, pool);
    return *surface ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GlDevice::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample,
                                            DWORD, BOOL, IDirect3DSurface9** surface, HANDLE* sharedHandle)
{
    if (!surface || sharedHandle || multiSample != D3DMULTISAMPLE_NONE) return D3DERR_INVALIDCALL;
    *surface = GlDepthSurface::create(shared_, width, height, format);
    return *surface ? D3D_OK : D3DERR_INVALIDCALL;
}

HRESULT GlDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                     IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle)
{
    if (!buffer || sharedHandle || length == 0) return D3DERR_INVALIDCALL;
    *buffer = new GlVertexBuffer(shared_, length, usage, fvf, pool);
    return D3D_OK;
}

HRESULT GlDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle)
{
    if (!buffer || sharedHandle || length == 0) return D3DERR_INVALIDCALL;
    if (format != D3DFMT_INDEX16 && format != D3DFMT_INDEX32) return D3DERR_INVALIDCALL;
    *buffer = new GlIndexBuffer(shared_, length, usage, format, pool);
    return D3D_OK;
}

} // namespace d3dgl
