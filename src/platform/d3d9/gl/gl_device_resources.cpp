// Resource creation of the GL backend: textures, off-screen and depth surfaces, buffers. The
// core has checked every parameter; what fails here is OpenGL running out.
#include "platform/d3d9/gl/gl_device.h"

#include "platform/d3d9/gl/gl_buffers.h"
#include "platform/d3d9/gl/gl_texture.h"

namespace d3dgl {

HRESULT GlDevice::createTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                IDirect3DTexture9** texture)
{
    *texture = GlTexture::create(shared_, width, height, levels, usage, format, pool);
    return *texture ? D3D_OK : D3DERR_OUTOFVIDEOMEMORY;
}

HRESULT GlDevice::createPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                     IDirect3DSurface9** surface)
{
    *surface = GlMemorySurface::create(shared_, width, height, format, pool);
    return *surface ? D3D_OK : D3DERR_OUTOFVIDEOMEMORY;
}

HRESULT GlDevice::createDepthSurface(UINT width, UINT height, D3DFORMAT format, IDirect3DSurface9** surface)
{
    *surface = GlDepthSurface::create(shared_, width, height, format);
    return *surface ? D3D_OK : D3DERR_OUTOFVIDEOMEMORY;
}

HRESULT GlDevice::createVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                     IDirect3DVertexBuffer9** buffer)
{
    *buffer = new GlVertexBuffer(shared_, length, usage, fvf, pool);
    return D3D_OK;
}

HRESULT GlDevice::createIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                    IDirect3DIndexBuffer9** buffer)
{
    *buffer = new GlIndexBuffer(shared_, length, usage, format, pool);
    return D3D_OK;
}

} // namespace d3dgl
