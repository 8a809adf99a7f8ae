// PNG through libspng, with its allocations going through the bounded picture allocator.

#include "platform/d3dx/picture_allocation.h"
#include "platform/d3dx/picture_formats.h"

#include <spng.h>

#include <cstring>
#include <memory>

namespace {

// Deflate never expands more than 1032:1, so the filtered rows can be at most that many times
// the compressed data, which is inside the file.
constexpr std::uint64_t kDeflateMaxRatio = 1032;

struct ContextFree {
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
using PngContext = std::unique_ptr<spng_ctx, ContextFree>;

PngContext openPng(const std::uint8_t* data, std::size_t size)
{
    static spng_alloc allocator{pictureAllocate, pictureReallocate, pictureAllocateZeroed, pictureRelease};
    // Every compressed byte is already covered by its chunk's CRC, so the zlib stream's own
    // checksum over the inflated rows would only cost time.
    PngContext context(spng_ctx_new2(&allocator, SPNG_CTX_IGNORE_ADLER32));
    if (!context) return nullptr;
    spng_ctx* c = context.get();
    // A damaged critical chunk means a damaged picture; a damaged text or colour note does not.
    if (spng_set_crc_action(c, SPNG_CRC_ERROR, SPNG_CRC_DISCARD) ||
        spng_set_image_limits(c, kMaxPictureSide, kMaxPictureSide) ||
        spng_set_chunk_limits(c, size, kMaxPngChunkCacheBytes) || spng_set_png_buffer(c, data, size))
        return nullptr;
    return context;
}

unsigned storedChannels(std::uint8_t colourType)
{
    switch (colourType) {
    case SPNG_COLOR_TYPE_GRAYSCALE: return 1;
    case SPNG_COLOR_TYPE_TRUECOLOR: return 3;
    case SPNG_COLOR_TYPE_INDEXED: return 1;
    case SPNG_COLOR_TYPE_GRAYSCALE_ALPHA: return 2;
    case SPNG_COLOR_TYPE_TRUECOLOR_ALPHA: return 4;
    default: return 0;
    }
}

} // namespace

bool looksLikePng(const std::uint8_t* data, std::size_t size)
{
    static constexpr std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    return size >= 8 && std::memcmp(data, signature, 8) == 0;
}

std::optional<PictureHeader> readPngHeader(const std::uint8_t* data, std::size_t size)
{
    PngContext context = openPng(data, size);
    spng_ihdr ihdr{};
    if (!context || spng_get_ihdr(context.get(), &ihdr)) return std::nullopt;
    if (!pictureSizeAllowed(ihdr.width, ihdr.height)) return std::nullopt;
    const unsigned channels = storedChannels(ihdr.color_type);
    if (channels == 0) return std::nullopt;
    const std::uint64_t rowBytes = (std::uint64_t{ihdr.width} * channels * ihdr.bit_depth + 7) / 8;
    if (std::uint64_t{ihdr.height} * (rowBytes + 1) > std::uint64_t{size} * kDeflateMaxRatio) return std::nullopt;

    PictureHeader header{ihdr.width, ihdr.height, channels, PictureFileKind::Png};
    // A palette is colour; with a transparency chunk before the data it has alpha too. Grey and
    // RGB keep their format with one: the key colour only clears pixels.
    if (ihdr.color_type == SPNG_COLOR_TYPE_INDEXED) {
        spng_trns trns{};
        const int found = spng_get_trns(context.get(), &trns);
        if (found != 0 && found != SPNG_ECHUNKAVAIL) return std::nullopt;
        header.components = found == 0 ? 4 : 3;
    }
    return header;
}

DecodedPixels decodePng(const std::uint8_t* data, std::size_t size, const PictureHeader& header)
{
    if (std::optional<DecodedPixels> pixels = decodePngDirect(data, size, header)) return std::move(*pixels);
    PngContext context = openPng(data, size);
    std::size_t length = 0;
    if (!context || spng_decoded_image_size(context.get(), SPNG_FMT_RGBA8, &length)) return nullptr;
    if (length != std::size_t(header.width) * header.height * 4) return nullptr;
    DecodedPixels pixels(static_cast<std::uint8_t*>(pictureAllocate(length)));
    if (!pixels || spng_decode_image(context.get(), pixels.get(), length, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS))
        return nullptr;
    return pixels;
}
