// Wraps a device, passes every call through unchanged and runs a hook just before each
// Present: lets a test read the back buffer of a frame drawn directly, exactly where the
// trace player reads it.
#pragma once

#include "platform/d3d9/d3d9.h"

#include <functional>

class PresentHookDevice final : public IDirect3DDevice9 {
public:
    PresentHookDevice(IDirect3DDevice9* inner, std::function<void(IDirect3DDevice9*)> hook)
        : inner_(inner), hook_(std::move(hook))
    {
    }
    ~PresentHookDevice() override = default;

    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; } // lives on the test's stack

    HRESULT Present(const RECT* a, const RECT* b, HWND c, const void* d) override
    {
        hook_(inner_);
        return inner_->Present(a, b, c, d);
    }

#define FORWARD(name, params, args) \
    HRESULT name params override { return inner_->name args; }
    FORWARD(GetDeviceCaps, (D3DCAPS9 * c), (c))
    FORWARD(BeginScene, (), ())
    FORWARD(EndScene, (), ())
    FORWARD(Clear, (DWORD n, const D3DRECT* r, DWORD f, D3DCOLOR c, float z, DWORD s), (n, r, f, c, z, s))
    FORWARD(SetRenderState, (D3DRENDERSTATETYPE s, DWORD v), (s, v))
    FORWARD(GetRenderState, (D3DRENDERSTATETYPE s, DWORD * v), (s, v))
    FORWARD(SetTextureStageState, (DWORD st, D3DTEXTURESTAGESTATETYPE t, DWORD v), (st, t, v))
    FORWARD(GetTextureStageState, (DWORD st, D3DTEXTURESTAGESTATETYPE t, DWORD * v), (st, t, v))
    FORWARD(SetSamplerState, (DWORD st, D3DSAMPLERSTATETYPE t, DWORD v), (st, t, v))
    FORWARD(GetSamplerState, (DWORD st, D3DSAMPLERSTATETYPE t, DWORD * v), (st, t, v))
    FORWARD(SetTransform, (D3DTRANSFORMSTATETYPE t, const D3DMATRIX* m), (t, m))
    FORWARD(GetTransform, (D3DTRANSFORMSTATETYPE t, D3DMATRIX * m), (t, m))
    FORWARD(SetViewport, (const D3DVIEWPORT9* v), (v))
    FORWARD(GetViewport, (D3DVIEWPORT9 * v), (v))
    FORWARD(SetScissorRect, (const RECT* r), (r))
    FORWARD(GetScissorRect, (RECT * r), (r))
    FORWARD(SetMaterial, (const D3DMATERIAL9* m), (m))
    FORWARD(GetMaterial, (D3DMATERIAL9 * m), (m))
    FORWARD(SetLight, (DWORD i, const D3DLIGHT9* l), (i, l))
    FORWARD(GetLight, (DWORD i, D3DLIGHT9 * l), (i, l))
    FORWARD(LightEnable, (DWORD i, BOOL e), (i, e))
    FORWARD(GetLightEnable, (DWORD i, BOOL * e), (i, e))
    FORWARD(SetTexture, (DWORD s, IDirect3DBaseTexture9 * t), (s, t))
    FORWARD(GetTexture, (DWORD s, IDirect3DBaseTexture9 * *t), (s, t))
    FORWARD(CreateTexture, (UINT w, UINT h, UINT l, DWORD u, D3DFORMAT f, D3DPOOL p, IDirect3DTexture9** t, HANDLE* s),
            (w, h, l, u, f, p, t, s))
    FORWARD(CreateOffscreenPlainSurface, (UINT w, UINT h, D3DFORMAT f, D3DPOOL p, IDirect3DSurface9** o, HANDLE* s),
            (w, h, f, p, o, s))
    FORWARD(CreateDepthStencilSurface,
            (UINT w, UINT h, D3DFORMAT f, D3DMULTISAMPLE_TYPE m, DWORD q, BOOL d, IDirect3DSurface9** o, HANDLE* s),
            (w, h, f, m, q, d, o, s))
    FORWARD(CreateVertexBuffer, (UINT l, DWORD u, DWORD f, D3DPOOL p, IDirect3DVertexBuffer9** b, HANDLE* s),
            (l, u, f, p, b, s))
    FORWARD(CreateIndexBuffer, (UINT l, DWORD u, D3DFORMAT f, D3DPOOL p, IDirect3DIndexBuffer9** b, HANDLE* s),
            (l, u, f, p, b, s))
    FORWARD(GetBackBuffer, (UINT c, UINT i, D3DBACKBUFFER_TYPE t, IDirect3DSurface9** s), (c, i, t, s))
    FORWARD(SetRenderTarget, (DWORD i, IDirect3DSurface9 * s), (i, s))
    FORWARD(GetRenderTarget, (DWORD i, IDirect3DSurface9 * *s), (i, s))
    FORWARD(SetDepthStencilSurface, (IDirect3DSurface9 * s), (s))
    FORWARD(GetDepthStencilSurface, (IDirect3DSurface9 * *s), (s))
    FORWARD(GetRenderTargetData, (IDirect3DSurface9 * a, IDirect3DSurface9* b), (a, b))
    FORWARD(SetStreamSource, (UINT s, IDirect3DVertexBuffer9 * b, UINT o, UINT st), (s, b, o, st))
    FORWARD(SetIndices, (IDirect3DIndexBuffer9 * b), (b))
    FORWARD(SetFVF, (DWORD f), (f))
    FORWARD(GetFVF, (DWORD * f), (f))
    FORWARD(SetVertexShader, (IDirect3DVertexShader9 * s), (s))
    FORWARD(DrawPrimitive, (D3DPRIMITIVETYPE t, UINT s, UINT c), (t, s, c))
    FORWARD(DrawIndexedPrimitive, (D3DPRIMITIVETYPE t, int b, UINT m, UINT n, UINT s, UINT c), (t, b, m, n, s, c))
    FORWARD(DrawPrimitiveUP, (D3DPRIMITIVETYPE t, UINT c, const void* d, UINT s), (t, c, d, s))
    FORWARD(DrawIndexedPrimitiveUP,
            (D3DPRIMITIVETYPE t, UINT m, UINT n, UINT c, const void* i, D3DFORMAT f, const void* v, UINT s),
            (t, m, n, c, i, f, v, s))
#undef FORWARD

private:
    IDirect3DDevice9* inner_;
    std::function<void(IDirect3DDevice9*)> hook_;
};
