// Decoding a picture in memory into a lockable surface, converting to the surface's format.

#include "platform/d3dx/d3dx_texture_files.h"
#include "platform/d3dx/picture_image_info.h"
#include "platform/d3dx/pixel_rows.h"

#include <cstring>
#include <vector>

namespace {

bool validRect(const RECT& r, UINT width, UINT height)
{
    return r.left >= 0 && r.top >= 0 && r.left < r.right && r.top < r.bottom &&
           static_cast<UINT>(r.right) <= width && static_cast<UINT>(r.bottom) <= height;
}

std::uint32_t argbOf(const std::uint8_t* rgba)
{
    return (std::uint32_t{rgba[3]} << 24) | (std::uint32_t{rgba[0]} << 16) | (std::uint32_t{rgba[1]} << 8) | rgba[2];
}

} // namespace

HRESULT D3DXLoadSurfaceFromFileInMemory(IDirect3DSurface9* destSurface, const PALETTEENTRY* /*destPalette*/,
                                        const RECT* destRect, const void* srcData, UINT srcDataSize,
                                        const RECT* srcRect, DWORD /*filter*/, D3DCOLOR colorKey,
                                        D3DXIMAGE_INFO* srcInfo)
{
    if (!destSurface || !srcData || srcDataSize == 0) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc{};
    if (FAILED(destSurface->GetDesc(&desc)) || !isPictureFormat(desc.Format)) return D3DERR_INVALIDCALL;

    const std::optional<DecodedPicture> picture = decodePicture(srcData, srcDataSize);
    if (!picture) return D3DXERR_INVALIDDATA;
    const unsigned width = picture->header.width, height = picture->header.height;

    const RECT source = srcRect ? *srcRect : RECT{0, 0, LONG(width), LONG(height)};
    const RECT dest = destRect ? *destRect : RECT{0, 0, LONG(desc.Width), LONG(desc.Height)};
    if (!validRect(source, width, height) || !validRect(dest, desc.Width, desc.Height)) return D3DERR_INVALIDCALL;
    const unsigned columns = unsigned(source.right - source.left), rows = unsigned(source.bottom - source.top);
    if (columns != unsigned(dest.right - dest.left) || rows != unsigned(dest.bottom - dest.top))
        return D3DERR_INVALIDCALL;

    D3DLOCKED_RECT locked{};
    if (FAILED(destSurface->LockRect(&locked, &dest, 0)) || !locked.pBits) return D3DERR_INVALIDCALL;
    std::vector<std::uint8_t> keyed(colorKey ? std::size_t(columns) * 4 : 0);
    for (unsigned r = 0; r < rows; ++r) {
        const std::uint8_t* rgba =
            picture->rgba.get() + (std::size_t(source.top + r) * width + std::size_t(source.left)) * 4;
        if (colorKey) {
            std::memcpy(keyed.data(), rgba, keyed.size());
            for (unsigned c = 0; c < columns; ++c)
                if (argbOf(&keyed[c * 4]) == colorKey) std::memset(&keyed[c * 4], 0, 4);
            rgba = keyed.data();
        }
        writeRgbaRow(rgba, columns, desc.Format, static_cast<std::uint8_t*>(locked.pBits) + std::size_t(r) * locked.Pitch);
    }
    destSurface->UnlockRect();

    if (srcInfo) *srcInfo = describePicture(picture->header);
    return D3D_OK;
}
