#include "png_encoding.h"

#include <spng.h>

#include <cstdlib>
#include <memory>

std::vector<std::uint8_t> encodeRgbaPng(const std::uint8_t* rgba, unsigned width, unsigned height)
{
    std::unique_ptr<spng_ctx, decltype(&spng_ctx_free)> ctx(spng_ctx_new(SPNG_CTX_ENCODER), &spng_ctx_free);
    if (!ctx || width == 0 || height == 0)
        return {};
    spng_set_option(ctx.get(), SPNG_ENCODE_TO_BUFFER, 1);
    spng_ihdr ihdr{};
    ihdr.width = width;
    ihdr.height = height;
    ihdr.bit_depth = 8;
    ihdr.color_type = SPNG_COLOR_TYPE_TRUECOLOR_ALPHA;
    spng_set_ihdr(ctx.get(), &ihdr);
    const std::size_t size = std::size_t{width} * height * 4;
    if (spng_encode_image(ctx.get(), rgba, size, SPNG_FMT_PNG, SPNG_ENCODE_FINALIZE) != 0)
        return {};
    std::size_t length = 0;
    int error = 0;
    void* buffer = spng_get_png_buffer(ctx.get(), &length, &error);
    if (!buffer || error != 0)
        return {};
    const auto* bytes = static_cast<const std::uint8_t*>(buffer);
    std::vector<std::uint8_t> png(bytes, bytes + length);
    std::free(buffer);
    return png;
}
