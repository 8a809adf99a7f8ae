// Choosing the decoder by the file's signature and holding every one to the same contract.

#include "platform/d3dx/picture_decoder.h"
#include "platform/d3dx/picture_formats.h"

#include <climits>

bool pictureSizeAllowed(std::uint64_t width, std::uint64_t height)
{
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPicturePixels;
}

std::optional<PictureHeader> readPictureHeader(const void* data, std::size_t size)
{
    // The stb half counts in int.
    if (!data || size == 0 || size > INT_MAX) return std::nullopt;
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    std::optional<PictureHeader> header;
    if (looksLikePng(bytes, size)) header = readPngHeader(bytes, size);
    else if (looksLikeJpeg(bytes, size)) header = readJpegHeader(bytes, size);
    else header = readTgaOrBmpHeader(bytes, size);
    if (!header || !pictureSizeAllowed(header->width, header->height) || header->components < 1 ||
        header->components > 4)
        return std::nullopt;
    return header;
}

std::optional<DecodedPicture> decodePicture(const void* data, std::size_t size)
{
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    if (data && size > 0 && size <= INT_MAX && looksLikeJpeg(bytes, size)) return decodeJpegPicture(bytes, size);
    const std::optional<PictureHeader> header = readPictureHeader(data, size);
    if (!header) return std::nullopt;
    DecodedPixels pixels;
    switch (header->kind) {
    case PictureFileKind::Png: pixels = decodePng(bytes, size, *header); break;
    case PictureFileKind::Jpeg: break; // decoded above
    case PictureFileKind::Tga:
    case PictureFileKind::Bmp: pixels = decodeTgaOrBmp(bytes, size, *header); break;
    }
    if (!pixels) return std::nullopt;
    return DecodedPicture{*header, std::move(pixels)};
}
