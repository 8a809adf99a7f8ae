// A Direct3D object for tests: reports a configurable display mode and caps, creates
// RecordingDevices, remembers every CreateDevice request and can be told to refuse some
// (a depth format, behaviour flags, or any request) the way a real driver would.
#pragma once

#include "platform/d3d9/d3d9.h"

#include <iosfwd>
#include <set>
#include <vector>

class RecordingDevice;

class RecordingDirect3D final : public IDirect3D9 {
public:
    RecordingDirect3D();

    struct CreateDeviceRequest {
        UINT adapter;
        D3DDEVTYPE type;
        HWND focusWindow;
        DWORD behaviorFlags;
        D3DPRESENT_PARAMETERS presentParameters; // as passed in, before defaults were filled
        HRESULT result;
    };

    // ---- configuration
    void setDisplayMode(const D3DDISPLAYMODE& mode) { displayMode_ = mode; }
    D3DCAPS9& caps() { return caps_; }
    // Size a windowed 0 × 0 back buffer takes (the window's client area).
    void setClientSize(UINT width, UINT height);
    // CreateDevice with an automatic depth buffer of this format fails with D3DERR_NOTAVAILABLE.
    void refuseDepthFormat(D3DFORMAT format) { refusedDepthFormats_.insert(format); }
    // CreateDevice with any of these behaviour flags set fails with D3DERR_NOTAVAILABLE.
    void refuseBehaviorFlags(DWORD flags) { refusedBehaviorFlags_ |= flags; }
    // Every CreateDevice fails with this code (D3D_OK clears it).
    void failCreateDevice(HRESULT code) { forcedFailure_ = code; }
    // Devices created afterwards write their trace here.
    void setTraceStream(std::ostream* stream) { traceStream_ = stream; }

    // ---- what tests look at
    const std::vector<CreateDeviceRequest>& requests() const { return requests_; }
    // Present parameters and behaviour flags of the last successful CreateDevice.
    const D3DPRESENT_PARAMETERS& presentParameters() const { return presentParameters_; }
    DWORD behaviorFlags() const { return behaviorFlags_; }
    // The last device created (not owned; valid while the caller keeps it).
    RecordingDevice* lastDevice() const { return lastDevice_; }

    // ---- IUnknown / IDirect3D9
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override;
    UINT GetAdapterCount() override { return 1; }
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* presentParameters, IDirect3DDevice9** device) override;

private:
    ~RecordingDirect3D() override = default;

    ULONG refs_ = 1;
    D3DDISPLAYMODE displayMode_{1920, 1080, 60, D3DFMT_X8R8G8B8};
    D3DCAPS9 caps_;
    UINT clientWidth_ = 800;
    UINT clientHeight_ = 600;
    std::set<D3DFORMAT> refusedDepthFormats_;
    DWORD refusedBehaviorFlags_ = 0;
    HRESULT forcedFailure_ = D3D_OK;
    std::ostream* traceStream_ = nullptr;
    std::vector<CreateDeviceRequest> requests_;
    D3DPRESENT_PARAMETERS presentParameters_{};
    DWORD behaviorFlags_ = 0;
    RecordingDevice* lastDevice_ = nullptr;
};
