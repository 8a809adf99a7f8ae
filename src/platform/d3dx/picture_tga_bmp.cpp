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

// stb_image's own tests, in its loader's order, so the kind chosen here is the one it decodes.
bool passes(int (*test)(stbi__context*), const std::uint8_t* data, std::size_t size)
{
    stbi__context context;
    stbi__start_mem(&context, data, int(size));
    return test(&context) != 0;
}

unsigned storedComponents(bool bmp, const std::uint8_t* data, std::size_t size)
{
    stbi__context context;
    stbi__start_mem(&context, data, int(size));
    int width = 0, height = 0, components = 0;
    const int known = bmp ? stbi__bmp_info(&context, &width, &height, &components)
                          : stbi__tga_info(&context, &width, &height, &components);
    return known ? static_cast<unsigned>(components) : 0;
}

} // namespace

std::optional<PictureHeader> readTgaOrBmpHeader(const std::uint8_t* data, std::size_t size)
{
    const bool bmp = passes(stbi__bmp_test, data, size);
    if (!bmp && !passes(stbi__tga_test, data, size)) return std::nullopt;
    const std::optional<StoredPictureSize> stored = bmp ? bmpStoredSize(data, size) : tgaStoredSize(data, size);
    const unsigned components = storedComponents(bmp, data, size);
    if (!stored || components == 0) return std::nullopt;
    return PictureHeader{stored->width, stored->height, components, bmp ? PictureFileKind::Bmp : PictureFileKind::Tga};
}

DecodedPixels decodeTgaOrBmp(const std::uint8_t* data, std::size_t size, const PictureHeader& header)
{
    int width = 0, height = 0, components = 0;
    DecodedPixels pixels(stbi_load_from_memory(data, int(size), &width, &height, &components, 4));
    // The body must agree with the header that the caller sized its surfaces from.
    if (!pixels || unsigned(width) != header.width || unsigned(height) != header.height) return nullptr;
    return pixels;
}
