// Saving surfaces as PNG: the one place stb_image_write is compiled.

#include "platform/d3dx/d3dx_texture_files.h"
#include "platform/d3dx/pixel_rows.h"

#include <cerrno>
#include <cstdio>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#define STB_IMAGE_WRITE_STATIC
#define STBI_WRITE_NO_STDIO
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wsign-compare"
#include <stb_image_write.h>
#pragma GCC diagnostic pop

namespace {

void appendBytes(void* context, void* data, int size)
{
    auto* out = static_cast<std::vector<std::uint8_t>*>(context);
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

} // namespace

HRESULT encodeSurfaceAsPng(IDirect3DSurface9* srcSurface, const RECT* srcRect, std::vector<std::uint8_t>* png)
{
    if (!srcSurface || !png) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc{};
    if (FAILED(srcSurface->GetDesc(&desc)) || !isPictureFormat(desc.Format)) return D3DERR_INVALIDCALL;
    const RECT area = srcRect ? *srcRect : RECT{0, 0, LONG(desc.Width), LONG(desc.Height)};
    if (area.left < 0 || area.top < 0 || area.left >= area.right || area.top >= area.bottom ||
        UINT(area.right) > desc.Width || UINT(area.bottom) > desc.Height)
        return D3DERR_INVALIDCALL;
    const unsigned width = unsigned(area.right - area.left), height = unsigned(area.bottom - area.top);

    // Channels kept in the file: what the format can tell apart.
    const int channels = desc.Format == D3DFMT_L8 ? 1 : desc.Format == D3DFMT_X8R8G8B8 ? 3 : 4;
    std::vector<std::uint8_t> pixels(std::size_t(width) * height * channels);
    std::vector<std::uint8_t> rgba(std::size_t(width) * 4);

    D3DLOCKED_RECT locked{};
    if (FAILED(srcSurface->LockRect(&locked, &area, D3DLOCK_READONLY)) || !locked.pBits) return D3DERR_INVALIDCALL;
    for (unsigned r = 0; r < height; ++r) {
        readRgbaRow(static_cast<const std::uint8_t*>(locked.pBits) + std::size_t(r) * locked.Pitch, desc.Format, width,
                    rgba.data());
        std::uint8_t* out = pixels.data() + std::size_t(r) * width * channels;
        for (unsigned c = 0; c < width; ++c)
            for (int k = 0; k < channels; ++k)
                out[c * channels + k] = rgba[c * 4 + k];
    }
    srcSurface->UnlockRect();

    png->clear();
    if (!stbi_write_png_to_func(appendBytes, png, int(width), int(height), channels, pixels.data(),
                                int(width) * channels))
        return E_FAIL;
    return D3D_OK;
}

HRESULT D3DXSaveSurfaceToFile(const char* destFile, D3DXIMAGE_FILEFORMAT format, IDirect3DSurface9* srcSurface,
                              const PALETTEENTRY* /*srcPalette*/, const RECT* srcRect)
{
    if (!destFile || !*destFile || format != D3DXIFF_PNG) return D3DERR_INVALIDCALL;
    std::vector<std::uint8_t> png;
    const HRESULT hr = encodeSurfaceAsPng(srcSurface, srcRect, &png);
    if (FAILED(hr)) return hr;

    // A fresh temporary beside the file, created exclusively: never over a file or through a link
    // someone planted under a guessable name; renamed into place only when complete.
    static unsigned counter = 0;
    std::string temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = std::string(destFile) + ".partial-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
        if (fd < 0 && errno != EEXIST) return E_FAIL;
    }
    if (fd < 0) return E_FAIL;
    std::size_t done = 0;
    while (done < png.size()) {
        const ssize_t n = ::write(fd, png.data() + done, png.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += std::size_t(n);
    }
    const bool closed = ::close(fd) == 0;
    if (done != png.size() || !closed || std::rename(temporary.c_str(), destFile) != 0) {
        ::unlink(temporary.c_str());
        return E_FAIL;
    }
    return D3D_OK;
}
