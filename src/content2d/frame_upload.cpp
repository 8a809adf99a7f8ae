// Row-wise frame upload into the dynamic texture.

#include "content2d/frame_upload.h"

#include "platform/d3dx/pixel_rows.h"

#include <cstdint>
#include <cstring>

void uploadFrame(IDirect3DTexture9* texture, IDirect3DSurface9* frame)
{
    if (!texture || !frame) return;
    D3DSURFACE_DESC source{}, target{};
    if (FAILED(frame->GetDesc(&source)) || FAILED(texture->GetLevelDesc(0, &target))) return;

    D3DLOCKED_RECT to{}, from{};
    if (FAILED(texture->LockRect(0, &to, nullptr, 0)) || !to.pBits) return;
    if (FAILED(frame->LockRect(&from, nullptr, D3DLOCK_READONLY)) || !from.pBits) {
        texture->UnlockRect(0);
        return;
    }

    const unsigned rows = source.Height < target.Height ? source.Height : target.Height;
    const unsigned columns = source.Width < target.Width ? source.Width : target.Width;
    const std::size_t targetBytesPerPixel = d3dBytesPerPixel(target.Format);
    const std::size_t targetRowBytes = std::size_t(target.Width) * targetBytesPerPixel;
    const std::size_t coveredBytes = std::size_t(columns) * targetBytesPerPixel;
    for (unsigned r = 0; r < target.Height; ++r) {
        auto* out = static_cast<std::uint8_t*>(to.pBits) + std::size_t(r) * to.Pitch;
        const bool copied =
            r < rows && convertPixelRow(static_cast<const std::uint8_t*>(from.pBits) + std::size_t(r) * from.Pitch,
                                        source.Format, columns, out, target.Format);
        const std::size_t keep = copied ? coveredBytes : 0;
        std::memset(out + keep, 0, targetRowBytes - keep);
    }

    frame->UnlockRect();
    texture->UnlockRect(0);
}
