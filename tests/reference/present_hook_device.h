// Passes every call through unchanged and runs a hook just before each Present: lets a test
// read the back buffer of a frame drawn directly, exactly where the trace player reads it.
#pragma once

#include "platform/d3d9/trace/tracing_device.h"

#include <functional>
#include <utility>

class PresentHookDevice final : public TracingDevice {
public:
    PresentHookDevice(IDirect3DDevice9* inner, std::function<void(IDirect3DDevice9*)> hook)
        : TracingDevice(inner), hook_(std::move(hook))
    {
    }

    HRESULT Present(const RECT* a, const RECT* b, HWND c, const void* d) override
    {
        hook_(inner());
        return TracingDevice::Present(a, b, c, d);
    }

private:
    std::function<void(IDirect3DDevice9*)> hook_;
};
