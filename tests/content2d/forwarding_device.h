// A device that passes every call to another one; tests derive from it to bend one call
// (a texture in another format or size than asked) while the rest behaves normally.
#pragma once

#include "platform/d3d9/d3d9.h"

class ForwardingDevice : public IDirect3DDevice9 {
public:
    explicit ForwardingDevice(IDirect3DDevice9* inner) : inner_(inner) {}

    ULONG AddRef() override { return inner_->AddRef(); }
    ULONG Release() override { return inner_->Release(); }
    HRESULT GetDeviceCaps(D3DCAPS9* c) override { return inner_->GetDeviceCaps(c); }
    HRESULT BeginScene() override { return inner_->BeginScene(); }
    HRESULT EndScene() override { return inner_->EndScene(); }
    HRESULT Clear(DWORD n, const D3DRECT* r, DWORD f, D3DCOLOR c, float z, DWORD s) override
    {
        return inner_->Clear(n, r, f, c, z, s);
    }
    HRESULT Present(const RECT* s, const RECT* d, HWND w, const void* g) override { return inner_->Present(s, d, w, g); }
    HRESULT SetRenderState(D3DRENDERSTATETYPE s, DWORD v) override { return inner_->SetRenderState(s, v); }
    HRESULT GetRenderState(D3DRENDERSTATETYPE s, DWORD* v) override { return inner_->GetRenderState(s, v); }
    HRESULT SetTextureStageState(DWORD st, D3DTEXTURESTAGESTATETYPE t, DWORD v) override
    {
        return inner_->SetTextureStageState(st, t, v);
    }
    HRESULT GetTextureStageState(DWORD st, D3DTEXTURESTAGESTATETYPE t, DWORD* v) override
    {
        return inner_->GetTextureStageState(st, t, v);
    }
    HRESULT SetSamplerState(DWORD s, D3DSAMPLERSTATETYPE t, DWORD v) override { return inner_->SetSamplerState(s, t, v); }
    HRESULT GetSamplerState(DWORD s, D3DSAMPLERSTATETYPE t, DWORD* v) override { return inner_->GetSamplerState(s, t, v); }
    HRESULT SetTransform(D3DTRANSFORMSTATETYPE s, const D3DMATRIX* m) override { return inner_->SetTransform(s, m); }
    HRESULT GetTransform(D3DTRANSFORMSTATETYPE s, D3DMATRIX* m) override { return inner_->GetTransform(s, m); }
    HRESULT SetViewport(const D3DVIEWPORT9* v) override { return inner_->SetViewport(v); }
    HRESULT GetViewport(D3DVIEWPORT9* v) override { return inner_->GetViewport(v); }
    HRESULT SetScissorRect(const RECT* r) override { return inner_->SetScissorRect(r); }
    HRESULT GetScissorRect(RECT* r) override { return inner_->GetScissorRect(r); }
    HRESULT SetMaterial(const D3DMATERIAL9* m) override { return inner_->SetMaterial(m); }
    HRESULT GetMaterial(D3DMATERIAL9* m) override { return inner_->GetMaterial(m); }
    HRESULT SetLight(DWORD i, const D3DLIGHT9* l) override { return inner_->SetLight(i, l); }
    HRESULT GetLight(DWORD i, D3DLIGHT9* l) override { return inner_->GetLight(i, l); }
    HRESULT LightEnable(DWORD i, BOOL e) override { return inner_->LightEnable(i, e); }
    HRESULT GetLightEnable(DWORD i, BOOL* e) override { return inner_->GetLightEnable(i, e); }
    HRESULT SetTexture(DWORD s, IDirect3DBaseTexture9* t) override { return inner_->SetTexture(s, t); }
    HRESULT GetTexture(DWORD s, IDirect3DBaseTexture9** t) override { return inner_->GetTexture(s, t); }
    HRESULT CreateTexture(UINT w, UINT h, UINT l, DWORD u, D3DFORMAT f, D3DPOOL p, IDirect3DTexture9** t,
                          HANDLE* s) override
    {
        return inner_->CreateTexture(w, h, l, u, f, p, t, s);
    }
    HRESULT CreateOffscreenPlainSurface(UINT w, UINT h, D3DFORMAT f, D3DPOOL p, IDirect3DSurface9** o,
                                        HANDLE* s) override
    {
        return inner_->CreateOffscreenPlainSurface(w, h, f, p, o, s);
    }
    HRESULT CreateDepthStencilSurface(UINT w, UINT h, D3DFORMAT f, D3DMULTISAMPLE_TYPE m, DWORD q, BOOL d,
                                      IDirect3DSurface9** o, HANDLE* s) override
    {
        return inner_->CreateDepthStencilSurface(w, h, f, m, q, d, o, s);
    }
    HRESULT CreateVertexBuffer(UINT n, DWORD u, DWORD f, D3DPOOL p, IDirect3DVertexBuffer9** b, HANDLE* s) override
    {
        return inner_->CreateVertexBuffer(n, u, f, p, b, s);
    }
    HRESULT CreateIndexBuffer(UINT n, DWORD u, D3DFORMAT f, D3DPOOL p, IDirect3DIndexBuffer9** b, HANDLE* s) override
    {
        return inner_->CreateIndexBuffer(n, u, f, p, b, s);
    }
    HRESULT GetBackBuffer(UINT c, UINT i, D3DBACKBUFFER_TYPE t, IDirect3DSurface9** s) override
    {
        return inner_->GetBackBuffer(c, i, t, s);
    }
    HRESULT SetRenderTarget(DWORD i, IDirect3DSurface9* s) override { return inner_->SetRenderTarget(i, s); }
    HRESULT GetRenderTarget(DWORD i, IDirect3DSurface9** s) override { return inner_->GetRenderTarget(i, s); }
    HRESULT SetDepthStencilSurface(IDirect3DSurface9* s) override { return inner_->SetDepthStencilSurface(s); }
    HRESULT GetDepthStencilSurface(IDirect3DSurface9** s) override { return inner_->GetDepthStencilSurface(s); }
    HRESULT GetRenderTargetData(IDirect3DSurface9* r, IDirect3DSurface9* d) override
    {
        return inner_->GetRenderTargetData(r, d);
    }
    HRESULT SetStreamSource(UINT n, IDirect3DVertexBuffer9* b, UINT o, UINT s) override
    {
        return inner_->SetStreamSource(n, b, o, s);
    }
    HRESULT SetIndices(IDirect3DIndexBuffer9* i) override { return inner_->SetIndices(i); }
    HRESULT SetFVF(DWORD f) override { return inner_->SetFVF(f); }
    HRESULT GetFVF(DWORD* f) override { return inner_->GetFVF(f); }
    HRESULT SetVertexShader(IDirect3DVertexShader9* s) override { return inner_->SetVertexShader(s); }
    HRESULT DrawPrimitive(D3DPRIMITIVETYPE t, UINT s, UINT n) override { return inner_->DrawPrimitive(t, s, n); }
    HRESULT DrawIndexedPrimitive(D3DPRIMITIVETYPE t, int b, UINT m, UINT n, UINT s, UINT p) override
    {
        return inner_->DrawIndexedPrimitive(t, b, m, n, s, p);
    }
    HRESULT DrawPrimitiveUP(D3DPRIMITIVETYPE t, UINT n, const void* v, UINT s) override
    {
        return inner_->DrawPrimitiveUP(t, n, v, s);
    }
    HRESULT DrawIndexedPrimitiveUP(D3DPRIMITIVETYPE t, UINT m, UINT n, UINT p, const void* i, D3DFORMAT f,
                                   const void* v, UINT s) override
    {
        return inner_->DrawIndexedPrimitiveUP(t, m, n, p, i, f, v, s);
    }

protected:
    IDirect3DDevice9* inner_;
};
