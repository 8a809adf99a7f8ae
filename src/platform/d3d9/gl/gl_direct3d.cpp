// The Direct3D object of the OpenGL device (see gl_direct3d.h).
#include "platform/d3d9/gl/gl_direct3d.h"

#include "platform/d3d9/core/device_caps.h"
#include "platform/d3d9/gl/gl_context.h"
#include "platform/d3d9/gl/gl_device.h"
#include "platform/d3d9/gl/gl_formats.h"
#include "platform/d3d9/gl/sdl_window_context.h"
#include "platform/shell/shell.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace d3dgl {

namespace {

constexpr UINT kHeadlessWidth = 800;
constexpr UINT kHeadlessHeight = 600;

bool refuseD24X8()
{
    const char* value = std::getenv("DEMO_GL_REFUSE_D24X8");
    return value && std::strcmp(value, "1") == 0;
}

} // namespace

ULONG GlDirect3D::Release()
{
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT GlDirect3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode)
{
    if (adapter != D3DADAPTER_DEFAULT || !mode) return D3DERR_INVALIDCALL;
    if (headless_) {
        *mode = {kHeadlessWidth, kHeadlessHeight, 60, D3DFMT_X8R8G8B8};
        return D3D_OK;
    }
    if (!SDL_WasInit(SDL_INIT_VIDEO) && SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return D3DERR_NOTAVAILABLE;
    SDL_DisplayMode desktop{};
    if (SDL_GetDesktopDisplayMode(0, &desktop) != 0) return D3DERR_NOTAVAILABLE;
    *mode = {static_cast<UINT>(desktop.w), static_cast<UINT>(desktop.h), static_cast<UINT>(desktop.refresh_rate),
             D3DFMT_X8R8G8B8};
    return D3D_OK;
}

HRESULT GlDirect3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps)
{
    if (adapter != D3DADAPTER_DEFAULT || !caps) return D3DERR_INVALIDCALL;
    if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
    *caps = d3dcore::deviceCaps();
    return D3D_OK;
}

HRESULT completePresentParameters(D3DPRESENT_PARAMETERS* p, const D3DDISPLAYMODE& displayMode, UINT clientWidth,
                                  UINT clientHeight)
{
    if (p->Windowed) {
        if (p->BackBufferWidth == 0) p->BackBufferWidth = clientWidth;
        if (p->BackBufferHeight == 0) p->BackBufferHeight = clientHeight;
        if (p->BackBufferFormat == D3DFMT_UNKNOWN) p->BackBufferFormat = displayMode.Format;
    }
    if (p->BackBufferCount == 0) p->BackBufferCount = 1;
    if (p->BackBufferWidth == 0 || p->BackBufferHeight == 0 || p->BackBufferWidth > 8192 ||
        p->BackBufferHeight > 8192)
        return D3DERR_INVALIDCALL;
    if (!isRenderTargetFormat(p->BackBufferFormat)) return D3DERR_INVALIDCALL;
    if (p->MultiSampleType != D3DMULTISAMPLE_NONE) return D3DERR_INVALIDCALL;
    if (p->EnableAutoDepthStencil && !isDepthFormat(p->AutoDepthStencilFormat)) return D3DERR_INVALIDCALL;
    return D3D_OK;
}

HRESULT GlDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD,
                                 D3DPRESENT_PARAMETERS* presentParameters, IDirect3DDevice9** device)
{
    if (!device) return D3DERR_INVALIDCALL;
    *device = nullptr;
    if (adapter != D3DADAPTER_DEFAULT || !presentParameters) return D3DERR_INVALIDCALL;
    if (type != D3DDEVTYPE_HAL) return D3DERR_NOTAVAILABLE;
    if (presentParameters->EnableAutoDepthStencil && presentParameters->AutoDepthStencilFormat == D3DFMT_D24X8 &&
        refuseD24X8())
        return D3DERR_NOTAVAILABLE;

    D3DDISPLAYMODE displayMode{};
    const HRESULT modeResult = GetAdapterDisplayMode(adapter, &displayMode);
    if (FAILED(modeResult)) return modeResult;
    const HWND window = presentParameters->hDeviceWindow ? presentParameters->hDeviceWindow : focusWindow;

    UINT clientWidth = kHeadlessWidth, clientHeight = kHeadlessHeight;
    if (!headless_) {
        RECT client{};
        if (!window || !shell().getClientRect(window, &client)) return D3DERR_INVALIDCALL;
        clientWidth = static_cast<UINT>(client.right - client.left);
        clientHeight = static_cast<UINT>(client.bottom - client.top);
    }
    D3DPRESENT_PARAMETERS parameters = *presentParameters;
    const HRESULT checked = completePresentParameters(&parameters, displayMode, clientWidth, clientHeight);
    if (FAILED(checked)) return checked;

    std::shared_ptr<GlContext> context = headless_ ? createHeadlessGlContext() : createWindowGlContext(window);
    if (!context) return D3DERR_NOTAVAILABLE;
    HRESULT result = D3D_OK;
    GlDevice* created = GlDevice::create(this, std::move(context), parameters, d3dcore::deviceCaps(), &result);
    if (!created) return result;
    // Direct3D writes the derived values back into the caller's parameters.
    *presentParameters = parameters;
    *device = created;
    return D3D_OK;
}

} // namespace d3dgl
