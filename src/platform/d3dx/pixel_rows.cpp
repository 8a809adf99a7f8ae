// Pixel row conversions for the picture formats.

#include "platform/d3dx/pixel_rows.h"

#include <cstring>

namespace {

std::uint8_t luminance(unsigned r, unsigned g, unsigned b)
{
    return static_cast<std::uint8_t>((77 * r + 150 * g + 29 * b + 128) >> 8); // weights sum to 256
}

} // namespace

D3DFORMAT pictureFormatForComponents(unsigned components)
{
    switch (components) {
    case 1: return D3DFMT_L8;
    case 2:
    case 4: return D3DFMT_A8R8G8B8;
    case 3: return D3DFMT_X8R8G8B8;
    default: return D3DFMT_UNKNOWN;
    }
}

bool isPictureFormat(D3DFORMAT format)
{
    return format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8 || format == D3DFMT_L8;
}

bool writeRgbaRow(const std::uint8_t* rgba, unsigned count, D3DFORMAT format, std::uint8_t* row)
{
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: {
        const bool opaque = format == D3DFMT_X8R8G8B8;
        for (unsigned i = 0; i < count; ++i, rgba += 4, row += 4) {
            row[0] = rgba[2]; // memory order of 0xAARRGGBB: B, G, R, A
            row[1] = rgba[1];
            row[2] = rgba[0];
            row[3] = opaque ? 0xFF : rgba[3];
        }
        return true;
    }
    case D3DFMT_L8:
        for (unsigned i = 0; i < count; ++i, rgba += 4)
            row[i] = luminance(rgba[0], rgba[1], rgba[2]);
        return true;
    default:
        return false;
    }
}

bool readRgbaRow(const std::uint8_t* row, D3DFORMAT format, unsigned count, std::uint8_t* rgba)
{
    switch (format) {
    case D3DFMT_A8R8G8B8:
    case D3DFMT_X8R8G8B8: {
        const bool opaque = format == D3DFMT_X8R8G8B8;
        for (unsigned i = 0; i < count; ++i, rgba += 4, row += 4) {
            rgba[0] = row[2];
            rgba[1] = row[1];
            rgba[2] = row[0];
            rgba[3] = opaque ? 0xFF : row[3];
        }
        return true;
    }
    case D3DFMT_L8:
        for (unsigned i = 0; i < count; ++i, rgba += 4) {
            rgba[0] = rgba[1] = rgba[2] = row[i];
            rgba[3] = 0xFF;
        }
        return true;
    default:
        return false;
    }
}

bool convertPixelRow(const std::uint8_t* source, D3DFORMAT sourceFormat, unsigned count, std::uint8_t* target,
                     D3DFORMAT targetFormat)
{
    if (!isPictureFormat(sourceFormat) || !isPictureFormat(targetFormat)) return false;
    if (sourceFormat == targetFormat) {
        std::memcpy(target, source, std::size_t(count) * d3dBytesPerPixel(sourceFormat));
        return true;
    }
    std::uint8_t rgba[4 * 64];
    for (unsigned done = 0; done < count;) {
        const unsigned chunk = count - done < 64 ? count - done : 64;
        readRgbaRow(source + std::size_t(done) * d3dBytesPerPixel(sourceFormat), sourceFormat, chunk, rgba);
        writeRgbaRow(rgba, chunk, targetFormat, target + std::size_t(done) * d3dBytesPerPixel(targetFormat));
        done += chunk;
    }
    return true;
}
