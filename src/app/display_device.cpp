#include "app/display_device.h"

#include "app/app_context.h"
#include "app/fatal_error.h"

#include <string>

D3DPRESENT_PARAMETERS playerPresentParameters(bool fullScreen, HWND window, D3DFORMAT displayFormat)
{
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferCount = 1;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = window;
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D24X8;
    if (fullScreen) {
        parameters.Windowed = FALSE;
        parameters.BackBufferWidth = 800;
        parameters.BackBufferHeight = 600;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    } else {
        parameters.Windowed = TRUE;
        parameters.BackBufferFormat = displayFormat;
    }
    parameters.MultiSampleType = D3DMULTISAMPLE_NONE;
    parameters.FullScreen_RefreshRateInHz = 0;
    parameters.PresentationInterval = D3DPRESENT_INTERVAL_DEFAULT;
    return parameters;
}

DWORD playerBehaviorFlags(const D3DCAPS9& caps)
{
    if (caps.VertexShaderVersion >= D3DVS_VERSION(1, 0)) return D3DCREATE_HARDWARE_VERTEXPROCESSING;
    if (caps.DevCaps & D3DDEVCAPS_HWTRANSFORMANDLIGHT) return D3DCREATE_HARDWARE_VERTEXPROCESSING;
    return D3DCREATE_SOFTWARE_VERTEXPROCESSING;
}

void createDisplayDevice()
{
    appContext.direct3d = direct3DFactory(D3D_SDK_VERSION);
    if (!appContext.direct3d) fatalError("Error getting Direct3D");

    D3DDISPLAYMODE mode{};
    if (FAILED(appContext.direct3d->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &mode)))
        fatalError("Error getting display mode\n");

    D3DPRESENT_PARAMETERS parameters = playerPresentParameters(appContext.fullScreen, appContext.window, mode.Format);

    D3DCAPS9 caps{};
    appContext.direct3d->GetDeviceCaps(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, &caps);
    const DWORD flags = playerBehaviorFlags(caps);

    HRESULT result = appContext.direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, appContext.window, flags,
                                                       &parameters, &appContext.device);
    if (FAILED(result)) {
        parameters.AutoDepthStencilFormat = D3DFMT_D16;
        result = appContext.direct3d->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, appContext.window, flags,
                                                   &parameters, &appContext.device);
        if (FAILED(result)) {
            appContext.device = nullptr;
            fatalError("Error creating Device: " + std::to_string(result) + "\n");
        }
    }
}
