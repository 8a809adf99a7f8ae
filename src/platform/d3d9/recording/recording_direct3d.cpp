// The recording Direct3D object: configurable adapter, injectable CreateDevice failures.
#include "platform/d3d9/recording/recording_direct3d.h"

#include "platform/d3d9/core/device_caps.h"
#include "platform/d3d9/recording/recording_device.h"

RecordingDirect3D::RecordingDirect3D() : caps_(d3dcore::deviceCaps()) {}

ULONG RecordingDirect3D::Release()
{
    ULONG left = --refs_;
    if (left == 0)
        delete this;
    return left;
}

void RecordingDirect3D::setClientSize(UINT width, UINT height)
{
    clientWidth_ = width;
    clientHeight_ = height;
}

HRESULT RecordingDirect3D::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode)
{
    if (adapter != D3DADAPTER_DEFAULT || !mode)
        return D3DERR_INVALIDCALL;
    *mode = displayMode_;
    return D3D_OK;
}

HRESULT RecordingDirect3D::GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps)
{
    if (adapter != D3DADAPTER_DEFAULT || !caps)
        return D3DERR_INVALIDCALL;
    *caps = caps_;
    caps->DeviceType = type;
    return D3D_OK;
}

HRESULT RecordingDirect3D::CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                                        D3DPRESENT_PARAMETERS* presentParameters, IDirect3DDevice9** device)
{
    CreateDeviceRequest request{adapter, type, focusWindow, behaviorFlags, {}, D3D_OK};
    if (presentParameters)
        request.presentParameters = *presentParameters;

    const DWORD vertexProcessing = behaviorFlags & (D3DCREATE_SOFTWARE_VERTEXPROCESSING |
                                                    D3DCREATE_HARDWARE_VERTEXPROCESSING |
                                                    D3DCREATE_MIXED_VERTEXPROCESSING);
    HRESULT result = D3D_OK;
    if (!device || !presentParameters || adapter != D3DADAPTER_DEFAULT ||
        (vertexProcessing & (vertexProcessing - 1)) != 0 || vertexProcessing == 0)
        result = D3DERR_INVALIDCALL;
    else if (forcedFailure_ != D3D_OK)
        result = forcedFailure_;
    else if (behaviorFlags & refusedBehaviorFlags_)
        result = D3DERR_NOTAVAILABLE;
    else if (presentParameters->EnableAutoDepthStencil &&
             refusedDepthFormats_.count(presentParameters->AutoDepthStencilFormat))
        result = D3DERR_NOTAVAILABLE;

    if (device)
        *device = nullptr;
    if (SUCCEEDED(result)) {
        // Like the runtime: fill in what the caller left to the defaults.
        D3DPRESENT_PARAMETERS& pp = *presentParameters;
        if (pp.Windowed && pp.BackBufferWidth == 0)
            pp.BackBufferWidth = clientWidth_;
        if (pp.Windowed && pp.BackBufferHeight == 0)
            pp.BackBufferHeight = clientHeight_;
        if (pp.BackBufferFormat == D3DFMT_UNKNOWN)
            pp.BackBufferFormat = displayMode_.Format;
        if (pp.BackBufferCount == 0)
            pp.BackBufferCount = 1;
        if (pp.BackBufferWidth == 0 || pp.BackBufferHeight == 0 || d3dBytesPerPixel(pp.BackBufferFormat) == 0)
            result = D3DERR_INVALIDCALL;
    }
    if (SUCCEEDED(result)) {
        D3DPRESENT_PARAMETERS& pp = *presentParameters;
        auto* created = new RecordingDevice(pp.BackBufferWidth, pp.BackBufferHeight, pp.BackBufferFormat,
                                            pp.EnableAutoDepthStencil ? pp.AutoDepthStencilFormat : D3DFMT_UNKNOWN);
        created->caps() = caps_;
        created->caps().DeviceType = type;
        if (traceStream_)
            created->setTraceStream(traceStream_);
        presentParameters_ = pp;
        behaviorFlags_ = behaviorFlags;
        lastDevice_ = created;
        *device = created;
    }
    request.result = result;
    requests_.push_back(request);
    return result;
}
