// The tracing Direct3D object: everything passes to the inner one; devices come back wrapped.
#include "platform/d3d9/trace/tracing_direct3d.h"

#include "platform/d3d9/trace/tracing_device.h"

#include <utility>

namespace {

class TracingDirect3D final : public IDirect3D9 {
public:
    TracingDirect3D(IDirect3D9* inner, std::function<void(TracingDevice*)> onDevice)
        : inner_(inner), onDevice_(std::move(onDevice))
    {
    }

    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override
    {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }
    UINT GetAdapterCount() override { return inner_->GetAdapterCount(); }
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* mode) override
    {
        return inner_->GetAdapterDisplayMode(adapter, mode);
    }
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS9* caps) override
    {
        return inner_->GetDeviceCaps(adapter, type, caps);
    }
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND window, DWORD behaviour,
                         D3DPRESENT_PARAMETERS* parameters, IDirect3DDevice9** device) override
    {
        IDirect3DDevice9* inner = nullptr;
        const HRESULT hr = inner_->CreateDevice(adapter, type, window, behaviour, parameters, device ? &inner : nullptr);
        if (device) *device = inner;
        if (FAILED(hr) || !inner) return hr;
        TraceHeader header;
        IDirect3DSurface9* backBuffer = nullptr;
        if (SUCCEEDED(inner->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)) && backBuffer) {
            D3DSURFACE_DESC desc{};
            backBuffer->GetDesc(&desc);
            header = {desc.Width, desc.Height, static_cast<std::uint32_t>(desc.Format), 0};
            backBuffer->Release();
        }
        if (parameters && parameters->EnableAutoDepthStencil)
            header.depthFormat = static_cast<std::uint32_t>(parameters->AutoDepthStencilFormat);
        auto* tracing = new TracingDevice(inner, header);
        inner->Release(); // the tracing device holds it now
        *device = tracing;
        if (onDevice_) onDevice_(tracing);
        return hr;
    }

private:
    ~TracingDirect3D() override { inner_->Release(); }

    IDirect3D9* inner_;
    std::function<void(TracingDevice*)> onDevice_;
    ULONG refs_ = 1;
};

} // namespace

IDirect3D9* createTracingDirect3D9(IDirect3D9* inner, std::function<void(TracingDevice*)> onDevice)
{
    return inner ? new TracingDirect3D(inner, std::move(onDevice)) : nullptr;
}
