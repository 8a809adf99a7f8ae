#include "capture/frame_writer.h"

#include "file_io.h"
#include "tool_error.h"

#include "platform/d3dx/d3dx_texture_files.h"

namespace {

void makeOpaque(IDirect3DSurface9* surface, UINT width, UINT height)
{
    D3DLOCKED_RECT locked{};
    if (FAILED(surface->LockRect(&locked, nullptr, 0))) return;
    for (UINT y = 0; y < height; ++y) {
        auto* row = static_cast<unsigned char*>(locked.pBits) + static_cast<std::size_t>(y) * locked.Pitch;
        for (UINT x = 0; x < width; ++x) row[x * 4 + 3] = 0xFF;
    }
    surface->UnlockRect();
}

} // namespace

bool writeBackBufferPng(IDirect3DDevice9* device, const std::string& path, std::string& error)
{
    IDirect3DSurface9* backBuffer = nullptr;
    if (FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)) || !backBuffer) {
        error = "cannot get the back buffer";
        return false;
    }
    D3DSURFACE_DESC desc{};
    backBuffer->GetDesc(&desc);
    IDirect3DSurface9* copy = nullptr;
    bool ok = false;
    if (SUCCEEDED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy,
                                                      nullptr)) &&
        SUCCEEDED(device->GetRenderTargetData(backBuffer, copy))) {
        // What the screen shows has no alpha: an A8R8G8B8 back buffer is saved opaque.
        if (desc.Format == D3DFMT_A8R8G8B8) makeOpaque(copy, desc.Width, desc.Height);
        std::vector<std::uint8_t> png;
        if (SUCCEEDED(encodeSurfaceAsPng(copy, nullptr, &png))) {
            try {
                writeFileAtomically(path, png);
                ok = true;
            } catch (const ToolError& failure) {
                error = failure.what();
            }
        } else {
            error = "cannot encode " + path;
        }
    } else {
        error = "cannot read back the back buffer";
    }
    safeRelease(copy);
    backBuffer->Release();
    return ok;
}
