// The Direct3D object of the OpenGL device, windowed (SDL) or headless (EGL surfaceless):
// display mode, caps and CreateDevice with Direct3D's handling of the present parameters.
// Setting DEMO_GL_REFUSE_D24X8=1 makes CreateDevice refuse a D24X8 depth buffer, so that a
// caller's retry with D16 can be exercised end to end.
#pragma once

#include "platform/d3d9/d3d9.h"

namespace d3dgl {

class GlDirect3D final : public IDirect3D9 {
public:
    explicit GlDirect3D(bool headless) : headless_(headless) {}

    ULONG AddRef() override { return ++references_; }
    ULONG Release() override;
    UINT GetAdapterCount() override { return 1; }
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* presentParameters, IDirect3DDevice9** device) override;

private:
    bool headless_;
    ULONG references_ = 1;
};

// Fills in what Direct3D derives from the present parameters (0 × 0 windowed back buffer =
// the client size, UNKNOWN format = the display format, count 0 = 1) and checks the rest.
HRESULT completePresentParameters(D3DPRESENT_PARAMETERS* parameters, const D3DDISPLAYMODE& displayMode,
                                  UINT clientWidth, UINT clientHeight);

} // namespace d3dgl
