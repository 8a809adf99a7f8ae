// The one place stb_image is compiled: only TGA and BMP, only from memory, allocating through
// the bounded picture allocator, and only after the file is known to hold every pixel.

#include "platform/d3dx/picture_allocation.h"
#include "platform/d3dx/picture_formats.h"
#include "platform/d3dx/picture_stored_size.h"

#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_TGA
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_FAILURE_STRINGS
#define STBI_MAX_DIMENSIONS 8192
#define STBI_MALLOC(size) pictureAllocate(size)
#define STBI_REALLOC(block, size) pictureReallocate(block, size)
#define STBI_FREE(block) pictureRelease(block)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#pragma GCC diagnostic ignored "-Wunused-but-set-variable"
#include <stb_image.h>
#pragma GCC diagnostic pop

static_assert(STBI_MAX_DIMENSIONS == kMaxPictureSide);

namespace {

// stb_image's own tests, so the kind chosen here is the one its loader will choose.
bool passesAsBmp(const std::uint8_t* data, std::size_t size)
{
    stbi__context context;
    stbi__start_mem(&context, data, int(size));
    return stbi__bmp_test(&context) != 0;
}

bool passesAsTga(const std::uint8_t* data, std::size_t size)
{
    stbi__context context;
    stbi__start_mem(&context, data, int(size));
    return stbi__tga_test(&context) != 0;
}

} // namespace

std::optional<PictureHeader> readTgaOrBmpHeader(const std::uint8_t* data, std::size_t size)
{
    const bool bmp = passesAsBmp(data, size);
    if (!bmp && !passesAsTga(data, size)) return std::nullopt;
    const std::optional<StoredPictureSize> stored = bmp ? bmpStoredSize(data, size) : tgaStoredSize(data, size);
    if (!stored) return std::nullopt;
    int width = 0, height = 0, components = 0;
    if (!stbi_info_from_memory(data, int(size), &width, &height, &components)) return std::nullopt;
    return PictureHeader{stored->width, stored->height, static_cast<unsigned>(components),
                         bmp ? PictureFileKind::Bmp : PictureFileKind::Tga};
}

DecodedPixels decodeTgaOrBmp(const std::uint8_t* data, std::size_t size, const PictureHeader& header)
{
    int width = 0, height = 0, components = 0;
    DecodedPixels pixels(stbi_load_from_memory(data, int(size), &width, &height, &components, 4));
    // The body must agree with the header that the caller sized its surfaces from.
    if (!pixels || unsigned(width) != header.width || unsigned(height) != header.height) return nullptr;
    return pixels;
}
