// Fuzzes picture decoding through the helper library the way the image blitter uses it:
// describe the picture, make a surface of that size and format, decode into it. Whatever the
// bytes, the result is a clean refusal or a surface filled within its bounds.
// fuzz-libs: platform_d3dx
#include "platform/d3dx/d3dx_texture_files.h"
#include "platform/d3dx/picture_decoder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// A system-memory surface of exactly pitch × height bytes, so any write past it is caught.
class MemorySurface final : public IDirect3DSurface9 {
public:
    explicit MemorySurface(const D3DSURFACE_DESC& desc)
        : desc_(desc), pitch_(d3dPitch(desc.Width, desc.Format)), bits_(std::size_t(pitch_) * desc.Height)
    {
    }
    ~MemorySurface() override = default;
    ULONG AddRef() override { return 1; }
    ULONG Release() override { return 1; }
    HRESULT GetDevice(IDirect3DDevice9**) override { return D3DERR_INVALIDCALL; }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override
    {
        *desc = desc_;
        return D3D_OK;
    }
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, DWORD) override
    {
        const RECT whole{0, 0, LONG(desc_.Width), LONG(desc_.Height)};
        const RECT r = rect ? *rect : whole;
        if (r.left < 0 || r.top < 0 || r.right > whole.right || r.bottom > whole.bottom) __builtin_trap();
        locked->Pitch = pitch_;
        locked->pBits = bits_.data() + std::size_t(r.top) * pitch_ + std::size_t(r.left) * d3dBytesPerPixel(desc_.Format);
        return D3D_OK;
    }
    HRESULT UnlockRect() override { return D3D_OK; }

private:
    D3DSURFACE_DESC desc_;
    int pitch_;
    std::vector<std::uint8_t> bits_;
};

} // namespace

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

    MemorySurface surface(D3DSURFACE_DESC{info.Format, D3DRTYPE_SURFACE, 0, D3DPOOL_SYSTEMMEM, D3DMULTISAMPLE_NONE, 0,
                                          info.Width, info.Height});
    D3DXIMAGE_INFO decoded{};
    const HRESULT hr =
        D3DXLoadSurfaceFromFileInMemory(&surface, nullptr, nullptr, data, length, nullptr, D3DX_DEFAULT, 0, &decoded);
    if (SUCCEEDED(hr) && (decoded.Width != info.Width || decoded.Height != info.Height || decoded.Format != info.Format))
        __builtin_trap();
    if (FAILED(hr) && hr != D3DXERR_INVALIDDATA) __builtin_trap();
    return 0;
}
