// Building a texture with a full mip chain from a picture in memory. Every level is written
// through LockRect; each is box-filtered from the level above in RGBA before conversion, so
// grey pictures stay exactly grey.

#include "platform/d3dx/d3dx_texture_files.h"
#include "platform/d3dx/mip_box_filter.h"
#include "platform/d3dx/picture_image_info.h"
#include "platform/d3dx/pixel_rows.h"

#include <cstring>
#include <vector>

namespace {

bool sizeFromFile(UINT requested, unsigned actual)
{
    return requested == D3DX_DEFAULT || requested == D3DX_DEFAULT_NONPOW2 || requested == 0 || requested == actual;
}

// Writes one RGBA level into texture level `level`, clipped to the level's real size; texels the
// picture does not cover are cleared.
void writeLevel(IDirect3DTexture9* texture, UINT level, const std::uint8_t* rgba, unsigned width, unsigned height)
{
    D3DSURFACE_DESC desc{};
    if (FAILED(texture->GetLevelDesc(level, &desc))) return;
    D3DLOCKED_RECT locked{};
    if (FAILED(texture->LockRect(level, &locked, nullptr, 0)) || !locked.pBits) return;
    const unsigned columns = width < desc.Width ? width : desc.Width;
    const unsigned rows = height < desc.Height ? height : desc.Height;
    const std::size_t rowBytes = std::size_t(desc.Width) * d3dBytesPerPixel(desc.Format);
    for (unsigned r = 0; r < desc.Height; ++r) {
        auto* row = static_cast<std::uint8_t*>(locked.pBits) + std::size_t(r) * locked.Pitch;
        std::memset(row, 0, rowBytes);
        if (r < rows) writeRgbaRow(rgba + std::size_t(r) * width * 4, columns, desc.Format, row);
    }
    texture->UnlockRect(level);
}

} // namespace

HRESULT D3DXCreateTextureFromFileInMemory(IDirect3DDevice9* device, const void* srcData, UINT srcDataSize,
                                          IDirect3DTexture9** texture)
{
    return D3DXCreateTextureFromFileInMemoryEx(device, srcData, srcDataSize, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT,
                                               0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                               nullptr, nullptr, texture);
}

HRESULT D3DXCreateTextureFromFileInMemoryEx(IDirect3DDevice9* device, const void* srcData, UINT srcDataSize,
                                            UINT width, UINT height, UINT mipLevels, DWORD usage, D3DFORMAT format,
                                            D3DPOOL pool, DWORD /*filter*/, DWORD /*mipFilter*/, D3DCOLOR colorKey,
                                            D3DXIMAGE_INFO* srcInfo, PALETTEENTRY* /*palette*/,
                                            IDirect3DTexture9** texture)
{
    if (!device || !srcData || srcDataSize == 0 || !texture) return D3DERR_INVALIDCALL;
    *texture = nullptr;

    const std::optional<PictureHeader> header = readPictureHeader(srcData, srcDataSize);
    if (!header) return D3DXERR_INVALIDDATA;
    const unsigned pictureWidth = header->width, pictureHeight = header->height;
    if (!sizeFromFile(width, pictureWidth) || !sizeFromFile(height, pictureHeight)) return D3DERR_INVALIDCALL;
    if (format == D3DFMT_UNKNOWN || format == D3DFMT_FROM_FILE) format = pictureFormatForComponents(header->components);
    if (!isPictureFormat(format)) return D3DERR_INVALIDCALL;

    const unsigned fullChain = fullMipLevelCount(pictureWidth, pictureHeight);
    unsigned levels = fullChain;
    if (mipLevels == D3DX_FROM_FILE) levels = 1;
    else if (mipLevels != 0 && mipLevels != D3DX_DEFAULT && mipLevels < fullChain) levels = mipLevels;

    std::optional<DecodedPicture> picture = decodePicture(srcData, srcDataSize);
    if (!picture) return D3DXERR_INVALIDDATA;
    std::uint8_t* pixels = picture->rgba.get();
    if (colorKey) {
        const std::size_t count = std::size_t(pictureWidth) * pictureHeight;
        for (std::size_t i = 0; i < count; ++i) {
            std::uint8_t* p = pixels + i * 4;
            const D3DCOLOR argb = (D3DCOLOR{p[3]} << 24) | (D3DCOLOR{p[0]} << 16) | (D3DCOLOR{p[1]} << 8) | p[2];
            if (argb == colorKey) std::memset(p, 0, 4);
        }
    }

    // Our device API has no UpdateTexture to fill a default-pool texture from a system-memory
    // copy, so a texture that is only ever sampled goes to the managed pool, which can be locked
    // and draws the same.
    if (pool == D3DPOOL_DEFAULT && !(usage & D3DUSAGE_DYNAMIC)) pool = D3DPOOL_MANAGED;

    IDirect3DTexture9* created = nullptr;
    const HRESULT hr = device->CreateTexture(pictureWidth, pictureHeight, levels, usage, format, pool, &created, nullptr);
    if (FAILED(hr) || !created) return FAILED(hr) ? hr : D3DERR_INVALIDCALL;

    const UINT deviceLevels = created->GetLevelCount();
    std::vector<std::uint8_t> level; // levels below the top, each made from the previous
    const std::uint8_t* current = pixels;
    unsigned currentWidth = pictureWidth, currentHeight = pictureHeight;
    for (UINT i = 0; i < deviceLevels; ++i) {
        if (i > 0) {
            level = boxFilterHalf(current, currentWidth, currentHeight);
            currentWidth = mipSide(currentWidth, 1);
            currentHeight = mipSide(currentHeight, 1);
            current = level.data();
            if (i == 1) picture->rgba.reset(); // the top level is written; free the big copy early
        }
        writeLevel(created, i, current, currentWidth, currentHeight);
    }

    if (srcInfo) *srcInfo = describePicture(*header);
    *texture = created;
    return D3D_OK;
}
