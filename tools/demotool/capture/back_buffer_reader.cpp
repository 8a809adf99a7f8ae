#include "capture/back_buffer_reader.h"

#include <cstring>

BackBufferReader::~BackBufferReader()
{
    release();
}

void BackBufferReader::release()
{
    if (copy_) copy_->Release();
    copy_ = nullptr;
}

bool BackBufferReader::read(IDirect3DDevice9* device, FramePixels& frame, std::string& error)
{
    IDirect3DSurface9* backBuffer = nullptr;
    if (FAILED(device->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &backBuffer)) || !backBuffer) {
        error = "cannot get the back buffer";
        return false;
    }
    D3DSURFACE_DESC desc{};
    backBuffer->GetDesc(&desc);
    if (desc.Format != D3DFMT_X8R8G8B8 && desc.Format != D3DFMT_A8R8G8B8) {
        backBuffer->Release();
        error = "the back buffer is in a format capture cannot read";
        return false;
    }
    if (copy_ && (desc.Width != desc_.Width || desc.Height != desc_.Height || desc.Format != desc_.Format)) release();
    if (!copy_ && FAILED(device->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM,
                                                             &copy_, nullptr))) {
        copy_ = nullptr;
        backBuffer->Release();
        error = "cannot read back the back buffer";
        return false;
    }
    desc_ = desc;
    const bool copied = SUCCEEDED(device->GetRenderTargetData(backBuffer, copy_));
    backBuffer->Release();
    D3DLOCKED_RECT locked{};
    if (!copied || FAILED(copy_->LockRect(&locked, nullptr, D3DLOCK_READONLY)) || !locked.pBits) {
        error = "cannot read back the back buffer";
        return false;
    }
    frame.width = desc.Width;
    frame.height = desc.Height;
    const std::size_t rowBytes = std::size_t{desc.Width} * 4;
    frame.bgrx.resize(rowBytes * desc.Height);
    for (UINT y = 0; y < desc.Height; ++y)
        std::memcpy(frame.bgrx.data() + y * rowBytes, static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch,
                    rowBytes);
    copy_->UnlockRect();
    return true;
}
