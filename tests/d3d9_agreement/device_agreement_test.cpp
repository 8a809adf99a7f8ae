// The same call sequences on the OpenGL device and on the recording device: each case's last
// call must give the result Direct3D 9 gives, on both, and everything read back afterwards
// must be equal. The cases cover the edge values of every setter the player uses and each
// rule the two devices once disagreed on.
#include "device_snapshot.h"

#include "platform/d3d9/d3d9.h"
#include "platform/d3d9/direct3d.h"
#include "platform/d3d9/recording/recording_device.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr UINT kWidth = 64, kHeight = 48;

using Run = std::function<HRESULT(IDirect3DDevice9*)>;

struct Case {
    const char* name;
    HRESULT expected;
    Run run;
};

D3DMATRIX scaled(float s)
{
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = s;
    m._44 = 1.0f;
    return m;
}

D3DLIGHT9 light(D3DLIGHTTYPE type, float attenuation = 0.0f)
{
    D3DLIGHT9 l{};
    l.Type = type;
    l.Diffuse = {1.0f, 0.5f, 0.25f, 1.0f};
    l.Direction = {0.0f, -1.0f, 0.0f};
    l.Range = 10.0f;
    l.Attenuation0 = 1.0f;
    l.Attenuation1 = attenuation;
    return l;
}

D3DVIEWPORT9 viewport(DWORD x, DWORD y, DWORD w, DWORD h) { return {x, y, w, h, 0.0f, 1.0f}; }

HRESULT setViewport(IDirect3DDevice9* d, DWORD x, DWORD y, DWORD w, DWORD h)
{
    const D3DVIEWPORT9 v = viewport(x, y, w, h);
    return d->SetViewport(&v);
}

// Creates a texture, hands it to `use`, releases it.
HRESULT withTexture(IDirect3DDevice9* d, DWORD usage, D3DPOOL pool, const std::function<HRESULT(IDirect3DTexture9*)>& use)
{
    IDirect3DTexture9* texture = nullptr;
    if (FAILED(d->CreateTexture(16, 16, 1, usage, D3DFMT_A8R8G8B8, pool, &texture, nullptr))) return E_FAIL;
    const HRESULT hr = use(texture);
    texture->Release();
    return hr;
}

HRESULT createTexture(IDirect3DDevice9* d, UINT w, UINT h, UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool)
{
    IDirect3DTexture9* texture = nullptr;
    const HRESULT hr = d->CreateTexture(w, h, levels, usage, format, pool, &texture, nullptr);
    if (SUCCEEDED(hr) != (texture != nullptr)) return E_FAIL;
    safeRelease(texture);
    return hr;
}

HRESULT createVertexBuffer(IDirect3DDevice9* d, UINT length, D3DPOOL pool)
{
    IDirect3DVertexBuffer9* buffer = nullptr;
    const HRESULT hr = d->CreateVertexBuffer(length, 0, D3DFVF_XYZ, pool, &buffer, nullptr);
    safeRelease(buffer);
    return hr;
}

HRESULT createIndexBuffer(IDirect3DDevice9* d, UINT length, D3DFORMAT format, D3DPOOL pool)
{
    IDirect3DIndexBuffer9* buffer = nullptr;
    const HRESULT hr = d->CreateIndexBuffer(length, 0, format, pool, &buffer, nullptr);
    safeRelease(buffer);
    return hr;
}

HRESULT createDepth(IDirect3DDevice9* d, D3DFORMAT format, D3DMULTISAMPLE_TYPE multiSample, UINT w = 32, UINT h = 32)
{
    IDirect3DSurface9* surface = nullptr;
    const HRESULT hr = d->CreateDepthStencilSurface(w, h, format, multiSample, 0, FALSE, &surface, nullptr);
    safeRelease(surface);
    return hr;
}

HRESULT createPlain(IDirect3DDevice9* d, D3DFORMAT format, D3DPOOL pool)
{
    IDirect3DSurface9* surface = nullptr;
    const HRESULT hr = d->CreateOffscreenPlainSurface(8, 8, format, pool, &surface, nullptr);
    safeRelease(surface);
    return hr;
}

// A triangle list of `vertices` XYZ vertices in a managed buffer bound to stream 0.
HRESULT bindTriangles(IDirect3DDevice9* d, UINT vertices, UINT stride = 12)
{
    IDirect3DVertexBuffer9* buffer = nullptr;
    if (FAILED(d->CreateVertexBuffer(vertices * stride, 0, D3DFVF_XYZ, D3DPOOL_MANAGED, &buffer, nullptr))) return E_FAIL;
    d->SetFVF(D3DFVF_XYZ);
    const HRESULT hr = d->SetStreamSource(0, buffer, 0, stride);
    buffer->Release();
    return hr;
}

HRESULT bindIndices(IDirect3DDevice9* d, const std::vector<WORD>& indices)
{
    IDirect3DIndexBuffer9* buffer = nullptr;
    const UINT bytes = static_cast<UINT>(indices.size() * sizeof(WORD));
    if (FAILED(d->CreateIndexBuffer(bytes, 0, D3DFMT_INDEX16, D3DPOOL_MANAGED, &buffer, nullptr))) return E_FAIL;
    void* data = nullptr;
    buffer->Lock(0, 0, &data, 0);
    std::memcpy(data, indices.data(), bytes);
    buffer->Unlock();
    const HRESULT hr = d->SetIndices(buffer);
    buffer->Release();
    return hr;
}

const float kTriangle[9] = {0, 0, 0, 1, 0, 0, 0, 1, 0};
const WORD kIndices[3] = {0, 1, 2};

const std::vector<Case>& cases()
{
    static const std::vector<Case> table = {
        // ---- render, stage and sampler states: edges of each range
        {"render state 0", D3D_OK, [](auto d) { return d->SetRenderState(static_cast<D3DRENDERSTATETYPE>(0), 5); }},
        {"render state last", D3D_OK, [](auto d) { return d->SetRenderState(static_cast<D3DRENDERSTATETYPE>(255), 7); }},
        {"render state past the end", D3DERR_INVALIDCALL,
         [](auto d) { return d->SetRenderState(static_cast<D3DRENDERSTATETYPE>(256), 7); }},
        {"blend op subtract", D3D_OK, [](auto d) { return d->SetRenderState(D3DRS_BLENDOP, D3DBLENDOP_SUBTRACT); }},
        {"zenable off", D3D_OK, [](auto d) { return d->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE); }},
        {"stencil op decr", D3D_OK, [](auto d) { return d->SetRenderState(D3DRS_STENCILPASS, D3DSTENCILOP_DECR); }},
        {"float point size", D3D_OK, [](auto d) { return d->SetRenderState(D3DRS_POINTSIZE, d3dFloatBits(9.5f)); }},
        {"stage 7 colour op", D3D_OK,
         [](auto d) { return d->SetTextureStageState(7, D3DTSS_COLOROP, D3DTOP_ADD); }},
        {"stage 8", D3DERR_INVALIDCALL,
         [](auto d) { return d->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_ADD); }},
        {"stage state past the end", D3DERR_INVALIDCALL,
         [](auto d) { return d->SetTextureStageState(0, static_cast<D3DTEXTURESTAGESTATETYPE>(33), 1); }},
        {"stage result arg temp", D3D_OK,
         [](auto d) { return d->SetTextureStageState(1, D3DTSS_RESULTARG, D3DTA_TEMP); }},
        {"sampler 0 filter", D3D_OK, [](auto d) { return d->SetSamplerState(0, D3DSAMP_MINFILTER, D3DTEXF_LINEAR); }},
        {"sampler 8", D3D_OK, [](auto d) { return d->SetSamplerState(8, D3DSAMP_ADDRESSU, D3DTADDRESS_CLAMP); }},
        {"sampler 15", D3D_OK, [](auto d) { return d->SetSamplerState(15, D3DSAMP_MAGFILTER, D3DTEXF_LINEAR); }},
        {"sampler 16", D3DERR_INVALIDCALL, [](auto d) { return d->SetSamplerState(16, D3DSAMP_MAGFILTER, 2); }},
        {"sampler state past the end", D3DERR_INVALIDCALL,
         [](auto d) { return d->SetSamplerState(0, static_cast<D3DSAMPLERSTATETYPE>(14), 1); }},
        {"null render state out", D3DERR_INVALIDCALL, [](auto d) { return d->GetRenderState(D3DRS_ZENABLE, nullptr); }},

        // ---- transforms
        {"view", D3D_OK, [](auto d) { const D3DMATRIX m = scaled(2); return d->SetTransform(D3DTS_VIEW, &m); }},
        {"world 0", D3D_OK, [](auto d) { const D3DMATRIX m = scaled(3); return d->SetTransform(D3DTS_WORLD, &m); }},
        {"world 1", D3D_OK,
         [](auto d) { const D3DMATRIX m = scaled(4); return d->SetTransform(D3DTS_WORLDMATRIX(1), &m); }},
        {"world 255", D3D_OK,
         [](auto d) { const D3DMATRIX m = scaled(5); return d->SetTransform(D3DTS_WORLDMATRIX(255), &m); }},
        {"world 256", D3DERR_INVALIDCALL,
         [](auto d) { const D3DMATRIX m = scaled(5); return d->SetTransform(D3DTS_WORLDMATRIX(256), &m); }},
        {"texture 7", D3D_OK,
         [](auto d) { const D3DMATRIX m = scaled(6); return d->SetTransform(D3DTS_TEXTURE7, &m); }},
        {"transform type 0", D3DERR_INVALIDCALL,
         [](auto d) { const D3DMATRIX m = scaled(6); return d->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(0), &m); }},
        {"null matrix", D3DERR_INVALIDCALL, [](auto d) { return d->SetTransform(D3DTS_VIEW, nullptr); }},

        // ---- viewport and scissor
        {"viewport whole target", D3D_OK, [](auto d) { return setViewport(d, 0, 0, kWidth, kHeight); }},
        {"viewport inner", D3D_OK, [](auto d) { return setViewport(d, 10, 5, 20, 30); }},
        {"viewport one past the edge", D3DERR_INVALIDCALL, [](auto d) { return setViewport(d, 1, 0, kWidth, kHeight); }},
        {"viewport empty", D3DERR_INVALIDCALL, [](auto d) { return setViewport(d, 0, 0, 0, 10); }},
        {"viewport wrapping width", D3DERR_INVALIDCALL, [](auto d) { return setViewport(d, 16, 0, 0xFFFFFFF8u, 8); }},
        {"viewport wrapping height", D3DERR_INVALIDCALL, [](auto d) { return setViewport(d, 0, 8, 8, 0xFFFFFFFCu); }},
        {"viewport x past target", D3DERR_INVALIDCALL, [](auto d) { return setViewport(d, kWidth + 1, 0, 1, 1); }},
        {"null viewport", D3DERR_INVALIDCALL, [](auto d) { return d->SetViewport(nullptr); }},
        {"scissor negative", D3D_OK, [](auto d) { const RECT r{-5, -5, 10, 10}; return d->SetScissorRect(&r); }},

        // ---- material and lights
        {"material", D3D_OK,
         [](auto d) {
             D3DMATERIAL9 m{};
             m.Diffuse = {0.5f, 0.25f, 1.0f, 1.0f};
             m.Power = 8.0f;
             return d->SetMaterial(&m);
         }},
        {"light 0 directional", D3D_OK, [](auto d) { const D3DLIGHT9 l = light(D3DLIGHT_DIRECTIONAL); return d->SetLight(0, &l); }},
        {"light 1023 point", D3D_OK, [](auto d) { const D3DLIGHT9 l = light(D3DLIGHT_POINT); return d->SetLight(1023, &l); }},
        {"light 1024", D3D_OK, [](auto d) { const D3DLIGHT9 l = light(D3DLIGHT_SPOT); return d->SetLight(1024, &l); }},
        {"light index max", D3D_OK,
         [](auto d) { const D3DLIGHT9 l = light(D3DLIGHT_POINT); return d->SetLight(0xFFFFFFFFu, &l); }},
        {"light type 0", D3DERR_INVALIDCALL,
         [](auto d) { const D3DLIGHT9 l = light(static_cast<D3DLIGHTTYPE>(0)); return d->SetLight(2, &l); }},
        {"light type 4", D3DERR_INVALIDCALL,
         [](auto d) { const D3DLIGHT9 l = light(static_cast<D3DLIGHTTYPE>(4)); return d->SetLight(2, &l); }},
        {"point light negative attenuation keeps the old record", D3DERR_INVALIDCALL,
         [](auto d) {
             const D3DLIGHT9 good = light(D3DLIGHT_POINT), bad = light(D3DLIGHT_POINT, -1.0f);
             d->SetLight(1, &good);
             return d->SetLight(1, &bad);
         }},
        {"directional light ignores attenuation", D3D_OK,
         [](auto d) { const D3DLIGHT9 l = light(D3DLIGHT_DIRECTIONAL, -1.0f); return d->SetLight(1, &l); }},
        {"enable unset light 7", D3D_OK, [](auto d) { return d->LightEnable(7, TRUE); }},
        {"enable light 70000", D3D_OK, [](auto d) { return d->LightEnable(70000, TRUE); }},
        {"disable light 8 creates it", D3D_OK, [](auto d) { return d->LightEnable(8, FALSE); }},
        {"get unset light", D3DERR_INVALIDCALL, [](auto d) { D3DLIGHT9 l{}; return d->GetLight(2, &l); }},
        {"null light", D3DERR_INVALIDCALL, [](auto d) { return d->SetLight(0, nullptr); }},

        // ---- textures and streams
        {"texture on sampler 15", D3D_OK,
         [](auto d) { return withTexture(d, 0, D3DPOOL_MANAGED, [&](auto t) { return d->SetTexture(15, t); }); }},
        {"texture on sampler 16", D3DERR_INVALIDCALL,
         [](auto d) { return withTexture(d, 0, D3DPOOL_MANAGED, [&](auto t) { return d->SetTexture(16, t); }); }},
        {"stream 0 unset", D3D_OK, [](auto d) { return d->SetStreamSource(0, nullptr, 0, 0); }},
        {"stream 1", D3DERR_INVALIDCALL, [](auto d) { return d->SetStreamSource(1, nullptr, 0, 0); }},
        {"stream stride past the cap", D3DERR_INVALIDCALL, [](auto d) { return d->SetStreamSource(0, nullptr, 0, 256); }},
        {"fvf", D3D_OK, [](auto d) { return d->SetFVF(D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX2); }},
        {"vertex shader", D3DERR_INVALIDCALL,
         [](auto d) { return d->SetVertexShader(reinterpret_cast<IDirect3DVertexShader9*>(&d)); }},

        // ---- resource creation
        {"texture full chain", D3D_OK, [](auto d) { return createTexture(d, 64, 16, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED); }},
        {"texture too many levels", D3DERR_INVALIDCALL,
         [](auto d) { return createTexture(d, 64, 16, 8, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED); }},
        {"texture width 0", D3DERR_INVALIDCALL, [](auto d) { return createTexture(d, 0, 16, 1, 0, D3DFMT_L8, D3DPOOL_MANAGED); }},
        {"texture past max size", D3DERR_INVALIDCALL,
         [](auto d) { return createTexture(d, 8193, 16, 1, 0, D3DFMT_L8, D3DPOOL_MANAGED); }},
        {"texture depth format", D3DERR_INVALIDCALL,
         [](auto d) { return createTexture(d, 16, 16, 1, 0, D3DFMT_D24S8, D3DPOOL_MANAGED); }},
        {"texture scratch", D3D_OK, [](auto d) { return createTexture(d, 16, 16, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_SCRATCH); }},
        {"texture dynamic in system memory", D3D_OK,
         [](auto d) { return createTexture(d, 16, 16, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM); }},
        {"texture dynamic managed", D3DERR_INVALIDCALL,
         [](auto d) { return createTexture(d, 16, 16, 1, D3DUSAGE_DYNAMIC, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED); }},
        {"render target managed", D3DERR_INVALIDCALL,
         [](auto d) { return createTexture(d, 16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED); }},
        {"render target L8", D3DERR_INVALIDCALL,
         [](auto d) { return createTexture(d, 16, 16, 1, D3DUSAGE_RENDERTARGET, D3DFMT_L8, D3DPOOL_DEFAULT); }},
        {"texture R5G6B5", D3D_OK, [](auto d) { return createTexture(d, 8, 8, 1, 0, D3DFMT_R5G6B5, D3DPOOL_MANAGED); }},
        {"vertex buffer scratch", D3DERR_INVALIDCALL, [](auto d) { return createVertexBuffer(d, 64, D3DPOOL_SCRATCH); }},
        {"vertex buffer empty", D3DERR_INVALIDCALL, [](auto d) { return createVertexBuffer(d, 0, D3DPOOL_MANAGED); }},
        {"vertex buffer system memory", D3D_OK, [](auto d) { return createVertexBuffer(d, 64, D3DPOOL_SYSTEMMEM); }},
        {"index buffer scratch", D3DERR_INVALIDCALL,
         [](auto d) { return createIndexBuffer(d, 64, D3DFMT_INDEX16, D3DPOOL_SCRATCH); }},
        {"index buffer colour format", D3DERR_INVALIDCALL,
         [](auto d) { return createIndexBuffer(d, 64, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT); }},
        {"depth surface multisampled", D3DERR_INVALIDCALL,
         [](auto d) { return createDepth(d, D3DFMT_D24S8, static_cast<D3DMULTISAMPLE_TYPE>(4)); }},
        {"depth surface D16", D3D_OK, [](auto d) { return createDepth(d, D3DFMT_D16, D3DMULTISAMPLE_NONE); }},
        {"depth surface colour format", D3DERR_INVALIDCALL,
         [](auto d) { return createDepth(d, D3DFMT_X8R8G8B8, D3DMULTISAMPLE_NONE); }},
        {"plain surface managed", D3DERR_INVALIDCALL, [](auto d) { return createPlain(d, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED); }},
        {"plain surface system memory", D3D_OK, [](auto d) { return createPlain(d, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM); }},

        // ---- targets
        {"render target texture level", D3D_OK,
         [](auto d) {
             return withTexture(d, D3DUSAGE_RENDERTARGET, D3DPOOL_DEFAULT, [&](IDirect3DTexture9* t) {
                 IDirect3DSurface9* level = nullptr;
                 t->GetSurfaceLevel(0, &level);
                 const HRESULT hr = d->SetRenderTarget(0, level);
                 level->Release();
                 return hr;
             });
         }},
        {"render target not a target", D3DERR_INVALIDCALL,
         [](auto d) {
             return withTexture(d, 0, D3DPOOL_MANAGED, [&](IDirect3DTexture9* t) {
                 IDirect3DSurface9* level = nullptr;
                 t->GetSurfaceLevel(0, &level);
                 const HRESULT hr = d->SetRenderTarget(0, level);
                 level->Release();
                 return hr;
             });
         }},
        {"render target index 1", D3DERR_INVALIDCALL,
         [](auto d) {
             IDirect3DSurface9* back = nullptr;
             d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
             const HRESULT hr = d->SetRenderTarget(1, back);
             back->Release();
             return hr;
         }},
        {"render target resets the viewport", D3D_OK,
         [](auto d) {
             setViewport(d, 4, 4, 8, 8);
             IDirect3DSurface9* back = nullptr;
             d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
             const HRESULT hr = d->SetRenderTarget(0, back);
             back->Release();
             return hr;
         }},
        {"no depth surface", D3D_OK, [](auto d) { return d->SetDepthStencilSurface(nullptr); }},
        {"stencil clear without a depth surface", D3DERR_INVALIDCALL,
         [](auto d) {
             d->SetDepthStencilSurface(nullptr);
             return d->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0);
         }},
        {"stencil clear on D24X8", D3DERR_INVALIDCALL,
         [](auto d) {
             IDirect3DSurface9* depth = nullptr;
             d->CreateDepthStencilSurface(kWidth, kHeight, D3DFMT_D24X8, D3DMULTISAMPLE_NONE, 0, FALSE, &depth, nullptr);
             d->SetDepthStencilSurface(depth);
             depth->Release();
             return d->Clear(0, nullptr, D3DCLEAR_STENCIL | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
         }},
        {"clear with an empty list", D3D_OK,
         [](auto d) { const D3DRECT r{0, 0, 4, 4}; return d->Clear(0, &r, D3DCLEAR_TARGET, 0xFF00FF00u, 1.0f, 0); }},
        {"read back into managed memory", D3DERR_INVALIDCALL,
         [](auto d) {
             IDirect3DSurface9* back = nullptr;
             IDirect3DSurface9* copy = nullptr;
             d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
             d->CreateOffscreenPlainSurface(kWidth, kHeight, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT, &copy, nullptr);
             const HRESULT hr = d->GetRenderTargetData(back, copy);
             back->Release();
             safeRelease(copy);
             return hr;
         }},
        {"read back of another size", D3DERR_INVALIDCALL,
         [](auto d) {
             IDirect3DSurface9* back = nullptr;
             IDirect3DSurface9* copy = nullptr;
             d->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
             d->CreateOffscreenPlainSurface(8, 8, D3DFMT_A8R8G8B8, D3DPOOL_SYSTEMMEM, &copy, nullptr);
             const HRESULT hr = d->GetRenderTargetData(back, copy);
             back->Release();
             safeRelease(copy);
             return hr;
         }},

        // ---- scenes and draws
        {"end scene outside a scene", D3DERR_INVALIDCALL, [](auto d) { return d->EndScene(); }},
        {"begin scene twice", D3DERR_INVALIDCALL, [](auto d) { d->BeginScene(); return d->BeginScene(); }},
        {"draw outside a scene", D3DERR_INVALIDCALL,
         [](auto d) { d->SetFVF(D3DFVF_XYZ); return d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, kTriangle, 12); }},
        {"draw without a vertex format", D3DERR_INVALIDCALL,
         [](auto d) { d->BeginScene(); return d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, kTriangle, 12); }},
        {"draw from user memory unsets stream 0", D3D_OK,
         [](auto d) {
             bindTriangles(d, 3);
             d->BeginScene();
             return d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, kTriangle, 12);
         }},
        {"draw with a stride below the format", D3DERR_INVALIDCALL,
         [](auto d) { d->SetFVF(D3DFVF_XYZ); d->BeginScene(); return d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, kTriangle, 8); }},
        {"draw of no primitives", D3DERR_INVALIDCALL,
         [](auto d) { d->SetFVF(D3DFVF_XYZ); d->BeginScene(); return d->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 0, kTriangle, 12); }},
        {"draw of an unknown type", D3DERR_INVALIDCALL,
         [](auto d) {
             d->SetFVF(D3DFVF_XYZ);
             d->BeginScene();
             return d->DrawPrimitiveUP(static_cast<D3DPRIMITIVETYPE>(7), 1, kTriangle, 12);
         }},
        {"draw inside the buffer", D3D_OK,
         [](auto d) { bindTriangles(d, 6); d->BeginScene(); return d->DrawPrimitive(D3DPT_TRIANGLELIST, 3, 1); }},
        {"draw past the buffer", D3DERR_INVALIDCALL,
         [](auto d) { bindTriangles(d, 6); d->BeginScene(); return d->DrawPrimitive(D3DPT_TRIANGLELIST, 4, 1); }},
        {"draw without a stream", D3DERR_INVALIDCALL,
         [](auto d) { d->SetFVF(D3DFVF_XYZ); d->BeginScene(); return d->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1); }},
        {"indexed draw without indices", D3DERR_INVALIDCALL,
         [](auto d) { bindTriangles(d, 3); d->BeginScene(); return d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1); }},
        {"indexed draw inside", D3D_OK,
         [](auto d) {
             bindTriangles(d, 4);
             bindIndices(d, {0, 1, 3});
             d->BeginScene();
             return d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 4, 0, 1);
         }},
        {"indexed draw reaching past the vertices", D3DERR_INVALIDCALL,
         [](auto d) {
             bindTriangles(d, 3);
             bindIndices(d, {0, 1, 3});
             d->BeginScene();
             return d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 0, 1);
         }},
        {"indexed draw with a negative base", D3DERR_INVALIDCALL,
         [](auto d) {
             bindTriangles(d, 3);
             bindIndices(d, {0, 1, 2});
             d->BeginScene();
             return d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, -1, 0, 3, 0, 1);
         }},
        {"indexed draw past the indices", D3DERR_INVALIDCALL,
         [](auto d) {
             bindTriangles(d, 3);
             bindIndices(d, {0, 1, 2});
             d->BeginScene();
             return d->DrawIndexedPrimitive(D3DPT_TRIANGLELIST, 0, 0, 3, 1, 1);
         }},
        {"user indices inside their range", D3D_OK,
         [](auto d) {
             d->SetFVF(D3DFVF_XYZ);
             d->BeginScene();
             return d->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, kIndices, D3DFMT_INDEX16, kTriangle, 12);
         }},
        {"user indices outside their range", D3DERR_INVALIDCALL,
         [](auto d) {
             d->SetFVF(D3DFVF_XYZ);
             d->BeginScene();
             return d->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 1, 2, 1, kIndices, D3DFMT_INDEX16, kTriangle, 12);
         }},
        {"user indices of a colour format", D3DERR_INVALIDCALL,
         [](auto d) {
             d->SetFVF(D3DFVF_XYZ);
             d->BeginScene();
             return d->DrawIndexedPrimitiveUP(D3DPT_TRIANGLELIST, 0, 3, 1, kIndices, D3DFMT_L8, kTriangle, 12);
         }},
        {"present", D3D_OK, [](auto d) { return d->Present(nullptr, nullptr, nullptr, nullptr); }},
    };
    return table;
}

// One headless Direct3D object for the whole run: EGL start-up is the slow part.
IDirect3D9* headless()
{
    static IDirect3D9* direct3d = createHeadlessDirect3D9();
    return direct3d;
}

IDirect3DDevice9* glDevice()
{
    D3DPRESENT_PARAMETERS p{};
    p.BackBufferWidth = kWidth;
    p.BackBufferHeight = kHeight;
    p.BackBufferFormat = D3DFMT_A8R8G8B8;
    p.BackBufferCount = 1;
    p.SwapEffect = D3DSWAPEFFECT_DISCARD;
    p.Windowed = TRUE;
    p.EnableAutoDepthStencil = TRUE;
    p.AutoDepthStencilFormat = D3DFMT_D24S8;
    IDirect3DDevice9* device = nullptr;
    headless()->CreateDevice(0, D3DDEVTYPE_HAL, nullptr, D3DCREATE_HARDWARE_VERTEXPROCESSING, &p, &device);
    return device;
}

class DeviceAgreement : public ::testing::TestWithParam<std::size_t> {};

TEST_P(DeviceAgreement, SameResultAndSameStateOnBothDevices)
{
    if (!headless()) GTEST_SKIP() << "EGL offers no surfaceless display here; the OpenGL device cannot run";
    const Case& c = cases()[GetParam()];
    IDirect3DDevice9* gl = glDevice();
    ASSERT_NE(gl, nullptr);
    IDirect3DDevice9* recording = new RecordingDevice(kWidth, kHeight, D3DFMT_A8R8G8B8, D3DFMT_D24S8);

    EXPECT_EQ(c.run(gl), c.expected) << "OpenGL device";
    EXPECT_EQ(c.run(recording), c.expected) << "recording device";
    EXPECT_EQ(firstDifference(snapshotOf(gl), snapshotOf(recording)), "");
    gl->Release();
    recording->Release();
}

TEST(DeviceAgreementAtCreation, FreshDevicesReadBackAlike)
{
    if (!headless()) GTEST_SKIP() << "EGL offers no surfaceless display here; the OpenGL device cannot run";
    IDirect3DDevice9* gl = glDevice();
    ASSERT_NE(gl, nullptr);
    IDirect3DDevice9* recording = new RecordingDevice(kWidth, kHeight, D3DFMT_A8R8G8B8, D3DFMT_D24S8);
    EXPECT_EQ(firstDifference(snapshotOf(gl), snapshotOf(recording)), "");
    gl->Release();
    recording->Release();
}

INSTANTIATE_TEST_SUITE_P(Calls, DeviceAgreement, ::testing::Range<std::size_t>(0, cases().size()),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             std::string name = cases()[info.param].name;
                             for (char& ch : name)
                                 if (!std::isalnum(static_cast<unsigned char>(ch))) ch = '_';
                             return name;
                         });

} // namespace
