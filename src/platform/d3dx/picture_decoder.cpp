// The one place stb_image is compiled: only PNG, JPEG, TGA and BMP, only from memory, with
// the size limits checked on the header before anything is decoded.

#include "platform/d3dx/picture_decoder.h"

#include "platform/d3dx/jpeg_table_check.h"

#include <climits>
#include <cstring>

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_PNG
#define STBI_ONLY_JPEG
#define STBI_ONLY_TGA
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 8192
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#include <stb_image.h>
#pragma GCC diagnostic pop

static_assert(STBI_MAX_DIMENSIONS == kMaxPictureSide);

void DecodedPixelsDeleter::operator()(std::uint8_t* pixels) const
{
    stbi_image_free(pixels);
}

namespace {

PictureFileKind fileKind(const std::uint8_t* bytes, std::size_t size)
{
    static constexpr std::uint8_t pngSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (size >= 8 && std::memcmp(bytes, pngSignature, 8) == 0) return PictureFileKind::Png;
    if (looksLikeJpeg(bytes, size)) return PictureFileKind::Jpeg;
    if (size >= 2 && bytes[0] == 'B' && bytes[1] == 'M') return PictureFileKind::Bmp;
    return PictureFileKind::Tga; // the one format without a signature
}

bool withinLimits(int width, int height)
{
    if (width <= 0 || height <= 0) return false;
    if (static_cast<unsigned>(width) > kMaxPictureSide || static_cast<unsigned>(height) > kMaxPictureSide)
        return false;
    return std::size_t(width) * std::size_t(height) * 4 <= kMaxDecodedBytes;
}

} // namespace

std::optional<PictureHeader> readPictureHeader(const void* data, std::size_t size)
{
    if (!data || size == 0 || size > INT_MAX) return std::nullopt;
    const auto* bytes = static_cast<const stbi_uc*>(data);
    // The decoder tries JPEG on everything and trusts the Huffman tables it finds.
    if (!jpegHuffmanTablesSound(bytes, size)) return std::nullopt;
    int width = 0, height = 0, components = 0;
    if (!stbi_info_from_memory(bytes, static_cast<int>(size), &width, &height, &components)) return std::nullopt;
    if (!withinLimits(width, height) || components < 1 || components > 4) return std::nullopt;
    return PictureHeader{static_cast<unsigned>(width), static_cast<unsigned>(height),
                         static_cast<unsigned>(components), fileKind(bytes, size)};
}

std::optional<DecodedPicture> decodePicture(const void* data, std::size_t size)
{
    const std::optional<PictureHeader> header = readPictureHeader(data, size);
    if (!header) return std::nullopt;
    int width = 0, height = 0, components = 0;
    stbi_uc* pixels = stbi_load_from_memory(static_cast<const stbi_uc*>(data), static_cast<int>(size), &width,
                                            &height, &components, 4);
    DecodedPicture picture{*header, std::unique_ptr<std::uint8_t[], DecodedPixelsDeleter>(pixels)};
    if (!pixels) return std::nullopt;
    // The body must agree with the header that the caller sized its surfaces from.
    if (static_cast<unsigned>(width) != header->width || static_cast<unsigned>(height) != header->height)
        return std::nullopt;
    return picture;
}
