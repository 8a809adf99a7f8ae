// Back-buffer readback through a system-memory surface of the same size and format.
#include "platform/d3d9/trace/back_buffer_capture.h"

#include "platform/d3d9/d3d9_helpers.h"

#include <cstdio>

namespace {

std::string failure(const char* what, HRESULT hr)
{
    char text[96];
    std::snprintf(text, sizeof text, "%s failed (0x%08x)", what, static_cast<unsigned>(hr));
    return text;
}

} // namespace

bool captureBackBuffer(IDirect3DDevice9* device, CapturedImage& image, std::string& error)
{
    IDirect3DSurface9* back = nullptr;
    HRESULT hr = device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &back);
    if (hr < 0 || !back) {
        error = failure("GetBackBuffer", hr);
        return false;
    }
    D3DSURFACE_DESC desc{};
    back->GetDesc(&desc);
    if (desc.Format != D3DFMT_A8R8G8B8 && desc.Format != D3DFMT_X8R8G8B8) {
        back->Release();
        error = "the back buffer is neither A8R8G8B8 nor X8R8G8B8";
        return false;
    }
    IDirect3DSurface9* copy = nullptr;
    hr = device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy, nullptr);
    if (hr < 0 || !copy) {
        back->Release();
        error = failure("CreateOffscreenPlainSurface", hr);
        return false;
    }
    hr = device->GetRenderTargetData(back, copy);
    back->Release();
    D3DLOCKED_RECT locked{};
    if (hr >= 0)
        hr = copy->LockRect(&locked, nullptr, D3DLOCK_READONLY);
    else
        error = failure("GetRenderTargetData", hr);
    if (hr < 0) {
        if (error.empty())
            error = failure("LockRect", hr);
        copy->Release();
        return false;
    }
    image.width = desc.Width;
    image.height = desc.Height;
    image.rgba.resize(static_cast<std::size_t>(desc.Width) * desc.Height * 4);
    for (unsigned y = 0; y < desc.Height; ++y) {
        const auto* row = static_cast<const std::uint8_t*>(locked.pBits) + static_cast<std::size_t>(y) * locked.Pitch;
        std::uint8_t* out = image.rgba.data() + static_cast<std::size_t>(y) * desc.Width * 4;
        for (unsigned x = 0; x < desc.Width; ++x) d3dPixelToRgba(row + 4 * x, desc.Format, out + 4 * x);
    }
    copy->UnlockRect();
    copy->Release();
    return true;
}
