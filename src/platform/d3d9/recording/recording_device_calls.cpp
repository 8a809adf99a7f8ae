// The recording device's calls: each is logged as one trace line, then handled by the device
// core. Calls that return an object log after the core ran, so the line ends with its handle.
#include "platform/d3d9/recording/recording_device.h"

#include "platform/d3d9/trace/trace_line.h"

namespace {

using Core = d3dcore::DeviceCore;

TraceLine& colourFields(TraceLine& line, const D3DCOLORVALUE& c) { return line.f(c.r).f(c.g).f(c.b).f(c.a); }

} // namespace

HRESULT RecordingDevice::GetDeviceCaps(D3DCAPS9* caps)
{
    log(TraceLine("GetDeviceCaps"));
    return Core::GetDeviceCaps(caps);
}

HRESULT RecordingDevice::BeginScene()
{
    log(TraceLine("BeginScene"));
    return Core::BeginScene();
}

HRESULT RecordingDevice::EndScene()
{
    log(TraceLine("EndScene"));
    return Core::EndScene();
}

HRESULT RecordingDevice::Clear(DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z, DWORD stencil)
{
    TraceLine line("Clear");
    line.u(count).u(rects ? 1 : 0).u(flags).x(color).f(z).u(stencil);
    if (rects)
        for (DWORD k = 0; k < count; ++k) line.i(rects[k].x1).i(rects[k].y1).i(rects[k].x2).i(rects[k].y2);
    log(line);
    return Core::Clear(count, rects, flags, color, z, stencil);
}

HRESULT RecordingDevice::Present(const RECT* sourceRect, const RECT* destRect, HWND window, const void* dirtyRegion)
{
    log(TraceLine("Present"));
    return Core::Present(sourceRect, destRect, window, dirtyRegion);
}

HRESULT RecordingDevice::SetRenderState(D3DRENDERSTATETYPE state, DWORD value)
{
    log(TraceLine("SetRenderState").u(state).u(value));
    return Core::SetRenderState(state, value);
}

HRESULT RecordingDevice::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value)
{
    log(TraceLine("GetRenderState").u(state));
    return Core::GetRenderState(state, value);
}

HRESULT RecordingDevice::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value)
{
    log(TraceLine("SetTextureStageState").u(stage).u(type).u(value));
    return Core::SetTextureStageState(stage, type, value);
}

HRESULT RecordingDevice::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value)
{
    log(TraceLine("GetTextureStageState").u(stage).u(type));
    return Core::GetTextureStageState(stage, type, value);
}

HRESULT RecordingDevice::SetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD value)
{
    log(TraceLine("SetSamplerState").u(sampler).u(type).u(value));
    return Core::SetSamplerState(sampler, type, value);
}

HRESULT RecordingDevice::GetSamplerState(DWORD sampler, D3DSAMPLERSTATETYPE type, DWORD* value)
{
    log(TraceLine("GetSamplerState").u(sampler).u(type));
    return Core::GetSamplerState(sampler, type, value);
}

HRESULT RecordingDevice::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix)
{
    TraceLine line("SetTransform");
    line.u(state);
    if (matrix) line.floats(&matrix->_11, 16);
    else line.dash();
    log(line);
    return Core::SetTransform(state, matrix);
}

HRESULT RecordingDevice::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix)
{
    log(TraceLine("GetTransform").u(state));
    return Core::GetTransform(state, matrix);
}

HRESULT RecordingDevice::SetViewport(const D3DVIEWPORT9* v)
{
    TraceLine line("SetViewport");
    if (v) line.u(v->X).u(v->Y).u(v->Width).u(v->Height).f(v->MinZ).f(v->MaxZ);
    else line.dash();
    log(line);
    return Core::SetViewport(v);
}

HRESULT RecordingDevice::GetViewport(D3DVIEWPORT9* viewport)
{
    log(TraceLine("GetViewport"));
    return Core::GetViewport(viewport);
}

HRESULT RecordingDevice::SetScissorRect(const RECT* rect)
{
    TraceLine line("SetScissorRect");
    if (rect) line.i(rect->left).i(rect->top).i(rect->right).i(rect->bottom);
    else line.dash();
    log(line);
    return Core::SetScissorRect(rect);
}

HRESULT RecordingDevice::GetScissorRect(RECT* rect)
{
    log(TraceLine("GetScissorRect"));
    return Core::GetScissorRect(rect);
}

HRESULT RecordingDevice::SetMaterial(const D3DMATERIAL9* material)
{
    TraceLine line("SetMaterial");
    if (material) {
        colourFields(line, material->Diffuse);
        colourFields(line, material->Ambient);
        colourFields(line, material->Specular);
        colourFields(line, material->Emissive);
        line.f(material->Power);
    } else {
        line.dash();
    }
    log(line);
    return Core::SetMaterial(material);
}

HRESULT RecordingDevice::GetMaterial(D3DMATERIAL9* material)
{
    log(TraceLine("GetMaterial"));
    return Core::GetMaterial(material);
}

HRESULT RecordingDevice::SetLight(DWORD index, const D3DLIGHT9* light)
{
    TraceLine line("SetLight");
    line.u(index);
    if (light) {
        line.u(light->Type);
        colourFields(line, light->Diffuse);
        colourFields(line, light->Specular);
        colourFields(line, light->Ambient);
        line.f(light->Position.x).f(light->Position.y).f(light->Position.z);
        line.f(light->Direction.x).f(light->Direction.y).f(light->Direction.z);
        line.f(light->Range).f(light->Falloff).f(light->Attenuation0).f(light->Attenuation1).f(light->Attenuation2);
        line.f(light->Theta).f(light->Phi);
    } else {
        line.dash();
    }
    log(line);
    return Core::SetLight(index, light);
}

HRESULT RecordingDevice::GetLight(DWORD index, D3DLIGHT9* light)
{
    log(TraceLine("GetLight").u(index));
    return Core::GetLight(index, light);
}

HRESULT RecordingDevice::LightEnable(DWORD index, BOOL enable)
{
    log(TraceLine("LightEnable").u(index).u(enable ? 1 : 0));
    return Core::LightEnable(index, enable);
}

HRESULT RecordingDevice::GetLightEnable(DWORD index, BOOL* enable)
{
    log(TraceLine("GetLightEnable").u(index));
    return Core::GetLightEnable(index, enable);
}

HRESULT RecordingDevice::SetTexture(DWORD stage, IDirect3DBaseTexture9* texture)
{
    log(TraceLine("SetTexture").u(stage).handle(handleOf(texture)));
    return Core::SetTexture(stage, texture);
}

HRESULT RecordingDevice::GetTexture(DWORD stage, IDirect3DBaseTexture9** texture)
{
    log(TraceLine("GetTexture").u(stage).handle(handleOf(boundTexture(stage))));
    return Core::GetTexture(stage, texture);
}

HRESULT RecordingDevice::CreateTexture(UINT width, UINT height, UINT levels, DWORD usage, D3DFORMAT format,
                                       D3DPOOL pool, IDirect3DTexture9** texture, HANDLE* sharedHandle)
{
    const HRESULT result = Core::CreateTexture(width, height, levels, usage, format, pool, texture, sharedHandle);
    log(TraceLine("CreateTexture").u(width).u(height).u(levels).u(usage).u(format).u(pool)
            .handle(handleOf(texture ? *texture : nullptr)));
    return result;
}

HRESULT RecordingDevice::CreateOffscreenPlainSurface(UINT width, UINT height, D3DFORMAT format, D3DPOOL pool,
                                                     IDirect3DSurface9** surface, HANDLE* sharedHandle)
{
    const HRESULT result = Core::CreateOffscreenPlainSurface(width, height, format, pool, surface, sharedHandle);
    log(TraceLine("CreateOffscreenPlainSurface").u(width).u(height).u(format).u(pool)
            .handle(handleOf(surface ? *surface : nullptr)));
    return result;
}

HRESULT RecordingDevice::CreateDepthStencilSurface(UINT width, UINT height, D3DFORMAT format,
                                                   D3DMULTISAMPLE_TYPE multiSample, DWORD quality, BOOL discard,
                                                   IDirect3DSurface9** surface, HANDLE* sharedHandle)
{
    const HRESULT result =
        Core::CreateDepthStencilSurface(width, height, format, multiSample, quality, discard, surface, sharedHandle);
    log(TraceLine("CreateDepthStencilSurface").u(width).u(height).u(format).u(multiSample).u(quality)
            .u(discard ? 1 : 0).handle(handleOf(surface ? *surface : nullptr)));
    return result;
}

HRESULT RecordingDevice::CreateVertexBuffer(UINT length, DWORD usage, DWORD fvf, D3DPOOL pool,
                                            IDirect3DVertexBuffer9** buffer, HANDLE* sharedHandle)
{
    const HRESULT result = Core::CreateVertexBuffer(length, usage, fvf, pool, buffer, sharedHandle);
    log(TraceLine("CreateVertexBuffer").u(length).u(usage).u(fvf).u(pool).handle(handleOf(buffer ? *buffer : nullptr)));
    return result;
}

HRESULT RecordingDevice::CreateIndexBuffer(UINT length, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                                           IDirect3DIndexBuffer9** buffer, HANDLE* sharedHandle)
{
    const HRESULT result = Core::CreateIndexBuffer(length, usage, format, pool, buffer, sharedHandle);
    log(TraceLine("CreateIndexBuffer").u(length).u(usage).u(format).u(pool)
            .handle(handleOf(buffer ? *buffer : nullptr)));
    return result;
}

HRESULT RecordingDevice::GetBackBuffer(UINT swapChain, UINT index, D3DBACKBUFFER_TYPE type,
                                       IDirect3DSurface9** surface)
{
    const bool valid = swapChain == 0 && index == 0;
    log(TraceLine("GetBackBuffer").u(swapChain).u(index).u(type).handle(valid ? handleOf(backBufferSurface()) : 0));
    return Core::GetBackBuffer(swapChain, index, type, surface);
}

HRESULT RecordingDevice::SetRenderTarget(DWORD index, IDirect3DSurface9* surface)
{
    log(TraceLine("SetRenderTarget").u(index).handle(handleOf(surface)));
    return Core::SetRenderTarget(index, surface);
}

HRESULT RecordingDevice::GetRenderTarget(DWORD index, IDirect3DSurface9** surface)
{
    log(TraceLine("GetRenderTarget").u(index).handle(index == 0 ? handleOf(boundRenderTarget()) : 0));
    return Core::GetRenderTarget(index, surface);
}

HRESULT RecordingDevice::SetDepthStencilSurface(IDirect3DSurface9* surface)
{
    log(TraceLine("SetDepthStencilSurface").handle(handleOf(surface)));
    return Core::SetDepthStencilSurface(surface);
}

HRESULT RecordingDevice::GetDepthStencilSurface(IDirect3DSurface9** surface)
{
    log(TraceLine("GetDepthStencilSurface").handle(handleOf(boundDepthStencil())));
    return Core::GetDepthStencilSurface(surface);
}

HRESULT RecordingDevice::GetRenderTargetData(IDirect3DSurface9* renderTarget, IDirect3DSurface9* destSurface)
{
    log(TraceLine("GetRenderTargetData").handle(handleOf(renderTarget)).handle(handleOf(destSurface)));
    return Core::GetRenderTargetData(renderTarget, destSurface);
}

HRESULT RecordingDevice::SetStreamSource(UINT stream, IDirect3DVertexBuffer9* buffer, UINT offsetInBytes, UINT stride)
{
    log(TraceLine("SetStreamSource").u(stream).handle(handleOf(buffer)).u(offsetInBytes).u(stride));
    return Core::SetStreamSource(stream, buffer, offsetInBytes, stride);
}

HRESULT RecordingDevice::SetIndices(IDirect3DIndexBuffer9* indexBuffer)
{
    log(TraceLine("SetIndices").handle(handleOf(indexBuffer)));
    return Core::SetIndices(indexBuffer);
}

HRESULT RecordingDevice::SetFVF(DWORD fvf)
{
    log(TraceLine("SetFVF").u(fvf));
    return Core::SetFVF(fvf);
}

HRESULT RecordingDevice::GetFVF(DWORD* fvf)
{
    log(TraceLine("GetFVF"));
    return Core::GetFVF(fvf);
}

HRESULT RecordingDevice::SetVertexShader(IDirect3DVertexShader9* shader)
{
    log(TraceLine("SetVertexShader").handle(0));
    return Core::SetVertexShader(shader);
}

HRESULT RecordingDevice::DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount)
{
    log(TraceLine("DrawPrimitive").u(type).u(startVertex).u(primitiveCount));
    return Core::DrawPrimitive(type, startVertex, primitiveCount);
}

HRESULT RecordingDevice::DrawIndexedPrimitive(D3DPRIMITIVETYPE type, int baseVertexIndex, UINT minVertexIndex,
                                              UINT numVertices, UINT startIndex, UINT primitiveCount)
{
    log(TraceLine("DrawIndexedPrimitive")
            .u(type).i(baseVertexIndex).u(minVertexIndex).u(numVertices).u(startIndex).u(primitiveCount));
    return Core::DrawIndexedPrimitive(type, baseVertexIndex, minVertexIndex, numVertices, startIndex, primitiveCount);
}

HRESULT RecordingDevice::DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertexData,
                                         UINT vertexStride)
{
    const std::size_t bytes = static_cast<std::size_t>(d3dVertexCount(type, primitiveCount)) * vertexStride;
    log(TraceLine("DrawPrimitiveUP").u(type).u(primitiveCount).u(vertexStride).hex(vertexData, bytes));
    return Core::DrawPrimitiveUP(type, primitiveCount, vertexData, vertexStride);
}

HRESULT RecordingDevice::DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE type, UINT minVertexIndex, UINT numVertices,
                                                UINT primitiveCount, const void* indexData, D3DFORMAT indexFormat,
                                                const void* vertexData, UINT vertexStride)
{
    const std::size_t indexSize = indexFormat == D3DFMT_INDEX32 ? 4 : 2;
    const std::size_t indexBytes = static_cast<std::size_t>(d3dVertexCount(type, primitiveCount)) * indexSize;
    const std::size_t vertexBytes = (static_cast<std::size_t>(minVertexIndex) + numVertices) * vertexStride;
    log(TraceLine("DrawIndexedPrimitiveUP")
            .u(type).u(minVertexIndex).u(numVertices).u(primitiveCount).u(indexFormat).u(vertexStride)
            .hex(indexData, indexBytes).hex(vertexData, vertexBytes));
    return Core::DrawIndexedPrimitiveUP(type, minVertexIndex, numVertices, primitiveCount, indexData, indexFormat,
                                        vertexData, vertexStride);
}
