// Fuzzes picture decoding through the helper library the way the image blitter uses it:
// describe the picture, make a surface of that size and format, decode into it. Whatever the
// bytes, the result is a clean refusal or a surface filled within its bounds.
// fuzz-libs: platform_d3dx platform_d3d9
#include "platform/d3d9/recording/recording_device.h"
#include "platform/d3dx/d3dx_texture_files.h"
#include "platform/d3dx/picture_decoder.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const UINT length = static_cast<UINT>(size);
    D3DXIMAGE_INFO info{};
    if (FAILED(D3DXGetImageInfoFromFileInMemory(data, length, &info))) return 0;
    if (info.Width == 0 || info.Height == 0 || info.Width > kMaxPictureSide || info.Height > kMaxPictureSide)
        __builtin_trap();
    if (info.Format != D3DFMT_A8R8G8B8 && info.Format != D3DFMT_X8R8G8B8 && info.Format != D3DFMT_L8)
        __builtin_trap();
    // A few bytes can declare a picture of the largest size; decoding tens of millions of
    // pixels under the sanitizers takes seconds and teaches the fuzzer nothing new.
    if (std::uint64_t{info.Width} * info.Height > (1u << 20)) return 0;

    auto* device = new RecordingDevice(64, 64, D3DFMT_A8R8G8B8);
    device->caps().MaxTextureWidth = kMaxPictureSide;
    device->caps().MaxTextureHeight = kMaxPictureSide;
    device->setKeepCalls(false);
    IDirect3DSurface9* surface = nullptr;
    if (SUCCEEDED(device->CreateOffscreenPlainSurface(info.Width, info.Height, info.Format, D3DPOOL_SYSTEMMEM,
                                                      &surface, nullptr))) {
        D3DXIMAGE_INFO decoded{};
        const HRESULT hr =
            D3DXLoadSurfaceFromFileInMemory(surface, nullptr, nullptr, data, length, nullptr, D3DX_DEFAULT, 0, &decoded);
        if (SUCCEEDED(hr) && (decoded.Width != info.Width || decoded.Height != info.Height || decoded.Format != info.Format))
            __builtin_trap();
        if (FAILED(hr) && hr != D3DXERR_INVALIDDATA) __builtin_trap();
        surface->Release();
    }
    device->Release();
    return 0;
}
